#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

class QImage;
class QRegion;
class QWindow;

namespace corvane {

// What the desktop must be told about the product's floating panels (and its windows that may
// not be minimised) beyond Qt's window flags, and what it tells about how they will look. Main thread only.
class PanelWindowing : public QObject {
    Q_OBJECT
public:
    ~PanelWindowing() override = default;

    // Puts a panel's native window on every desktop. The panel calls this each time it is about to
    // be shown, because a window manager forgets what it knew of a window once it is withdrawn.
    virtual void showOnAllDesktops(QWindow& window) = 0;
    // Asks the window manager not to give a panel the keyboard when it maps: a panel shows beside
    // the user's work, and takes the keyboard only when the user clicks into it. Call before the
    // native window first maps and before every later show.
    virtual void showWithoutActivating(QWindow& window) = 0;
    // Keeps a shown panel above a full-screen window that has the keyboard, which the window
    // manager otherwise stacks above every floating window. Call before each show and raise; a
    // panel with no such window in front of it is let go again. A panel that asked once is lifted
    // again by itself when the active window goes full screen while the panel shows.
    virtual void stackAboveFullScreen(QWindow& window) = 0;
    // Whether a compositing manager may draw its own drop shadow around a panel. Panels whose view
    // draws its own shadow (or none) turn it off: the compositor's follows the window's rectangle.
    virtual void setCompositorShadow(QWindow& window, bool shadow) = 0;
    // Lets only `region` (window coordinates) of a panel's window take pointer input: a panel
    // whose window holds its own shadow around its outline passes clicks there to what lies
    // below. An empty region gives the whole window back.
    virtual void setInputShape(QWindow& window, const QRegion& region) = 0;
    // Calls `onExposed` once, the moment a shown panel's window next comes onto the screen, ahead
    // of the toolkit (which first goes through whatever else the window manager said): a panel
    // painted before its window was taken in puts its picture up at once. An empty action
    // forgets a waiting one; so does calling again.
    virtual void whenExposed(QWindow& window, std::function<void()> onExposed) = 0;
    // Calls `onMapped` once, the moment a window `mapNow` mapped is on the screen (a window
    // manager has taken it in), before the toolkit hears of it, or after a bound when it never is.
    // An empty action forgets a waiting one; so does calling again.
    virtual void whenMapped(QWindow& window, std::function<void()> onMapped) = 0;

    // Gives a panel's window about to be mapped the picture the server shows the moment it maps
    // it (the window's size in device pixels, in the window's format), before the toolkit has
    // drawn anything: without it the server shows what the window holds until then, black where
    // it has an alpha channel. Kept until the window is first exposed; a null picture forgets it.
    // The pixels are read before the call returns: the caller may paint on in the same image.
    virtual void showFirstPicture(QWindow& window, const QImage& picture) = 0;
    // Gives the window, about to be mapped again, the picture it was last given, as it was: the
    // server keeps it from the time it was given (a first exposure does not forget it; a null
    // picture or a new one does). False when there is none to give again.
    virtual bool showFirstPictureAgain(QWindow& window) = 0;
    // Whether `mapNow` can map the window: one no window manager takes in whose device pixels are
    // its own; one a window manager takes in once it has shown before (the toolkit has written
    // what it writes once), in no state but the normal one.
    virtual bool canMapNow(const QWindow& window) const = 0;
    // Maps a window about to be shown, at `geometry` (the panel's), at once: the toolkit works
    // through its showing and asks the server a question before it maps a window, and its own
    // mapping that follows changes nothing. A window a window manager takes in is first given what
    // the toolkit would write before mapping it (its place and size hints, what it stands above,
    // the states its flags ask for), on top of the panels' own hints, which must be in place.
    // For a window whose first picture is in place; does nothing where `canMapNow` says no.
    virtual void mapNow(QWindow& window, const QRect& geometry) = 0;
    // Takes a window `mapNow` mapped off the screen again, before the toolkit ever showed it.
    virtual void unmapNow(QWindow& window) = 0;

    // Whether taskbars and pagers list a panel's window (on at creation). A panel that window
    // cycling passes over is listed in neither. Read at the panel's next show.
    virtual void setListedInTaskbars(QWindow& window, bool listed) = 0;

    // Keeps a titled window that keeps its title and close button from being minimised, while it
    // stays an ordinary window: the window manager is asked to offer no way of minimising it, and
    // where one minimises it anyway, it is shown again at once. Call before the window is first
    // shown: window managers read what a window is when they take it on.
    virtual void offerNoMinimise(QWindow& window) = 0;

    // Asks the window manager what frame (title bar and borders, as margins around the window)
    // it will put around a window not yet shown, and calls `answer` once it says: so that the
    // window can be placed by its frame, as the user will see it, at its first showing. Answers
    // none where no window manager says within a moment. Never waits for the answer itself.
    virtual void askFrameMargins(QWindow& window, std::function<void(std::optional<QMargins>)> answer) = 0;

    // Whether a compositing manager runs. Only then do translucent windows show what lies behind
    // them; without one their transparent pixels show as black and translucency as opaque.
    virtual bool isCompositing() const = 0;
    // The desktop's active window (any program's), 0 when there is none or it cannot be told.
    virtual quint64 activeWindow() const = 0;
    // Asks the window manager to give the keyboard back to a window `activeWindow` reported; a
    // window that has gone meanwhile is ignored.
    virtual void activateWindow(quint64 window) = 0;
    // Gives the keyboard straight to a window (one of ours or the one `activeWindow` reported),
    // in turn with this program's other requests and without the window manager: how a window no
    // window manager manages takes the keyboard and gives it back. Nothing the window manager
    // still has queued from before can hand it elsewhere afterwards. A window that has gone or
    // is not on the screen is ignored.
    virtual void giveKeyboard(quint64 window) = 0;

Q_SIGNALS:
    // A compositing manager started or stopped.
    void compositingChanged(bool compositing);
};

} // namespace corvane
