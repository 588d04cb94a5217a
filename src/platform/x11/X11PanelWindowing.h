#pragma once

#include "platform/PanelWindowing.h"
#include "runtime/Scheduler.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QPointer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace corvane {

class X11FrameEstimates;
class X11LaterReplies;
class X11WindowState;

// Panels on every desktop through the EWMH hints, on Qt's own X connection so that the hints
// reach the server before Qt maps the window. A compositing manager is the owner of the
// _NET_WM_CM_S<screen> selection; XFixes reports every change of owner, so starting and stopping
// one are followed as they happen. Does nothing where Qt does not run on X11 (and then counts as
// compositing, as Qt's other platforms draw translucency themselves).
//
// Showing a panel must not wait on the server: the atoms are asked for once, and the active window
// and whether it is full screen come from the window layer's kept state. Nor does an answer to an
// event: what the server is asked then is taken up when its reply is in.
//
// A panel shown while a window goes full screen in front of it is lifted above that window.
class X11PanelWindowing final : public PanelWindowing, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    X11PanelWindowing(std::shared_ptr<X11WindowState> windows, Scheduler& scheduler);
    ~X11PanelWindowing() override;

    void showOnAllDesktops(QWindow& window) override;
    void offerNoMinimise(QWindow& window) override;
    void askFrameMargins(QWindow& window, std::function<void(std::optional<QMargins>)> answer) override;
    void showWithoutActivating(QWindow& window) override;
    void stackAboveFullScreen(QWindow& window) override;
    void setCompositorShadow(QWindow& window, bool shadow) override;
    void setInputShape(QWindow& window, const QRegion& region) override;
    void whenExposed(QWindow& window, std::function<void()> onExposed) override;
    void whenMapped(QWindow& window, std::function<void()> onMapped) override;
    void showFirstPicture(QWindow& window, const QImage& picture) override;
    bool showFirstPictureAgain(QWindow& window) override;
    bool canMapNow(const QWindow& window) const override;
    void mapNow(QWindow& window, const QRect& geometry) override;
    void unmapNow(QWindow& window) override;
    void setListedInTaskbars(QWindow& window, bool listed) override;
    bool isCompositing() const override { return m_compositing; }
    quint64 activeWindow() const override;
    void activateWindow(quint64 window) override;
    void giveKeyboard(quint64 window) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // How many windows anything is kept of (a destroyed window leaves nothing), for tests.
    std::size_t windowsKept() const;

private:
    // The atoms the panels' hints use, asked for together when the windowing starts.
    struct Atoms {
        xcb_atom_t desktop = XCB_ATOM_NONE;
        xcb_atom_t state = XCB_ATOM_NONE;
        xcb_atom_t sticky = XCB_ATOM_NONE;
        xcb_atom_t activeWindow = XCB_ATOM_NONE;
        xcb_atom_t userTime = XCB_ATOM_NONE;
        xcb_atom_t compositorShadow = XCB_ATOM_NONE;
        xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
        xcb_atom_t skipPager = XCB_ATOM_NONE;
        xcb_atom_t opacity = XCB_ATOM_NONE;
        xcb_atom_t above = XCB_ATOM_NONE;
        xcb_atom_t staysOnTop = XCB_ATOM_NONE;
        xcb_atom_t below = XCB_ATOM_NONE;
        xcb_atom_t clientLeader = XCB_ATOM_NONE;
    };

    bool readCompositing() const;
    // Writes the hints of a window not mapped: on every desktop, in taskbars or not; with
    // `toolkitStates`, also the states Qt merges in from the window's flags as it maps it.
    void writeUnmappedHints(const QWindow& window, bool toolkitStates);
    // A window of Qt's was mapped: from now on Qt has written what it writes once. Asks which
    // client leader Qt named in it.
    void noteMapped(xcb_window_t window);
    // Gives a window a window manager takes in what Qt writes before it maps it, and maps it.
    void mapManagedNow(QWindow& window, const QRect& geometry);
    // The active window when it is shown full screen, else none.
    xcb_window_t activeFullScreenWindow() const;
    // A stand-in for the full-screen window in front, as Qt's transient parent of a panel. It
    // lives only while a shown panel stays above that window.
    QWindow* foreignWindow(xcb_window_t window);
    void releaseUnusedStandIn();
    // Keeps every shown panel above the active window when that is full screen.
    void liftShownPanels();
    // Gives `found` the ancestor of `window` that is a child of the root (the window manager's
    // frame around a managed window), `window` itself when it is one, none for the root or a
    // window that is gone.
    void findTopLevel(xcb_window_t window, std::function<void(xcb_window_t)> found, int depth = 0);
    void writeShadow(xcb_window_t window, bool shadow);
    // Gives the window manager's frame around a panel the panel's input shape.
    void passInputShape(xcb_window_t window);
    // Takes away a shadow a compositing manager made of its own accord for a panel that wants
    // none. xcompmgr -c decides on a shadow at each configure of a window from what its memory
    // held until the window maps, and keeps what it made; a window manager's frame is new and
    // configured before its map at every showing. Once the compositing manager watches the shown
    // window, a change of its opacity has it let go of the shadow. Checked again every few
    // milliseconds for a little over a second, until it watches (the shadow shows until then).
    void checkCompositorShadowLater(xcb_window_t window, int checksLeft);
    void dropCompositorShadow(xcb_window_t window, int checksLeft);
    // Writes the frame's opacity back as it was and has the area around it drawn again.
    void touchOpacity(xcb_window_t top);
    static constexpr int shadowChecks = 32;
    static constexpr double shadowCheckWait = 0.01;
    static constexpr double shadowCheckLongest = 0.04;
    // How long a window mapped ahead waits for its window manager before its showing goes on.
    static constexpr Seconds mapWaitLongest{0.5};

    xcb_connection_t* m_connection = nullptr;
    std::unique_ptr<X11LaterReplies> m_replies;
    std::shared_ptr<X11WindowState> m_windows;
    Atoms m_atoms;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    uint8_t m_xfixesFirstEvent = 0;
    bool m_watching = false;
    bool m_compositing = true;
    std::unique_ptr<QWindow> m_foreign;
    std::unique_ptr<X11FrameEstimates> m_frameEstimates;
    // The panels that asked to stay above a full-screen window.
    QList<QPointer<QWindow>> m_stacked;
    // The panels that want no compositor's shadow.
    std::set<xcb_window_t> m_unshaded;
    // The shown panels whose compositing manager is not watching them yet, by their next check.
    std::map<xcb_window_t, TimerHandle> m_shadowChecks;
    Scheduler& m_scheduler;
    // The depth of each panel's window, asked once.
    uint8_t depthOf(xcb_window_t window);
    // Gives the window back the background Qt made it with.
    void dropFirstPicture(xcb_window_t window);
    // Gives the window `pixmap` as its background until its next exposure.
    void giveFirstPicture(xcb_window_t window, xcb_pixmap_t pixmap);
    // Frees the pixmap kept of the window's last first picture.
    void forgetFirstPicture(xcb_window_t window);
    // The same on the window's first exposure since it was given its picture.
    void exposed(const xcb_expose_event_t& expose);

    // The panels whose window shows a first picture as its background, by the sequence number of
    // the request that gave it (an exposure the server made before it is an earlier showing's);
    // and the windows' depths.
    std::map<xcb_window_t, uint16_t> m_firstPictures;
    std::map<xcb_window_t, uint8_t> m_depths;
    // The pixmap of each panel's last first picture, kept on the server until a new one comes or
    // the picture is forgotten, so that it can be given again without sending it again.
    std::map<xcb_window_t, xcb_pixmap_t> m_keptPictures;
    // The panels taskbars and pagers do not list.
    std::set<xcb_window_t> m_unlisted;
    // The panels whose input is limited to a part of their window.
    std::set<xcb_window_t> m_inputShapes;
    // The panels' windows that have been mapped, with the client leader Qt named in each (what
    // Qt names a tool window's transient-for when it has no transient parent); none until read.
    std::map<xcb_window_t, xcb_window_t> m_mappedBefore;
    // What panels wait to be exposed for.
    std::map<xcb_window_t, std::function<void()>> m_onExposed;
    // What waits for a window's map, and when it runs anyway (a window manager that went away
    // never maps the window; the toolkit's showing asks again).
    struct WaitingForMap {
        std::function<void()> action;
        TimerHandle bound;
    };
    std::map<xcb_window_t, WaitingForMap> m_onMapped;
    void mapped(xcb_window_t window);
};

} // namespace corvane
