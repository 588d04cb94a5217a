#pragma once

#include "core/PanelShadow.h"
#include "runtime/Time.h"

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <functional>

namespace corvane {

class PanelWindowing;

// Window levels: anything above the normal level floats above ordinary windows. The desktop
// offers only "on top" or not, so every level above normal stacks the same.
// The property a content view sets to the radius of its rounded corners, for the panel's outline.
inline constexpr const char* cornerRadiusProperty = "corvanePanelCornerRadius";
// The property a content view sets to the colour its own surface shows as (a QColor), for the
// panel's ground where no compositing manager runs.
inline constexpr const char* groundColorProperty = "corvanePanelGroundColor";

namespace PanelLevel {
inline constexpr int normal = 0;
inline constexpr int status = 25;
} // namespace PanelLevel

// The one kind of window the product shows its own floating surfaces in: borderless, translucent,
// above ordinary windows, on every desktop, and never taking keyboard focus, so that typing keeps
// going to the program that had it. The owner keeps the panel; closing only hides it.
class FloatingPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QRect frame READ frame WRITE setFrame)
    Q_PROPERTY(double shownOpacity READ shownOpacity WRITE setShownOpacity)
public:
    // Callers usually pass (0, 0, 100, 100) and set the real frame later. With `ignoresMouse`
    // clicks and pointer moves pass through to whatever lies below.
    FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level, bool ignoresMouse);
    ~FloatingPanel() override;

    int level() const { return m_level; }
    bool ignoresMouseEvents() const { return m_ignoresMouse; }
    // Whether the panel takes keyboard focus when shown; only subclasses that ask can.
    bool canBecomeKeyWindow() const { return m_canBecomeKey; }

    // The view that fills the panel. Setting one deletes the previous one.
    QWidget* contentView() const { return m_contentView; }
    void setContentView(QWidget* view);

    // The opacity the panel shows, or is fading towards while a fade runs.
    double alphaValue() const { return m_alpha; }
    // Shows `alpha` at once. A fade in progress is not stopped: start a new fade instead.
    void setAlphaValue(double alpha);
    // For animators: the opacity a fade that starts now heads to, leaving the shown one to it.
    void setFadeTarget(double alpha) { m_alpha = alpha; }
    // The opacity the panel shows now; fades move it. Where a compositing manager draws the
    // panel's translucent window, the panel paints it into its pixels and the window stays
    // opaque: some compositing managers give a window whose opacity changes while it shows a
    // rectangular shadow of their own, for good.
    double shownOpacity() const { return m_shown; }
    void setShownOpacity(double opacity);
    // Whether the panel's opacity and translucency show: only a compositing manager draws them.
    bool showsOpacity() const;
    // How long a fade of this panel to `alpha` lasts: `wanted` where opacity shows. Without a
    // compositing manager a fade in would only hold the panel back, so it appears at once; a fade
    // out keeps its time, and the panel goes when it would have (unmapping at once in the middle
    // of a gesture lets openbox move the keyboard focus elsewhere).
    Seconds fadeDuration(Seconds wanted, double alpha) const {
        return showsOpacity() || alpha <= 0 ? wanted : Seconds(0);
    }

    // The panel's visible outline at a given size. Where no compositing manager runs, the
    // window's shape is cut to it, so that nothing outside it (transparent pixels, which would
    // show black) reaches the screen. A content view that reports a corner radius (the panel
    // background does) gives a rounded outline by itself; panels of other shapes set their own.
    using Outline = std::function<QPainterPath(const QSize& size)>;
    void setOutline(Outline outline);
    // A rounded rectangle filling the panel; the radius at most half the shorter side.
    static Outline roundedOutline(double radius);
    // The outline at the frame's size, in the window's coordinates; empty when the panel has none.
    QPainterPath outlinePath() const;
    // Whether the window's shape is cut to the outline now.
    bool isShapedToOutline() const { return m_shaped; }

    // Without a compositing manager every pixel a shaped panel shows is drawn as it is, its alpha
    // ignored: a translucent fill comes out darkened and an antialiased edge as a dark seam. The
    // panel then lays this colour, opaque, under its content first. A content view that reports
    // one (the panel background does) sets it by itself; none leaves the panel as it paints.
    void setGroundColor(const QColor& color);
    QColor groundColor() const { return m_ground; }

    // Whether the panel casts its shadow (`PanelShadow::soft`, on at creation) around its
    // outline. Where a compositing manager shows translucency the panel draws it itself, in a
    // margin its window gains around the outline that takes no pointer input; no compositing
    // manager adds a shadow of its own to any panel. Without one there is no shadow. Panels whose
    // view draws its own shadow inside its frame, or that want none, turn it off.
    void setHasShadow(bool shadow);
    bool hasShadow() const { return !m_shadow.isNone(); }

    // The panel's frame on the screen: the frame of its outline and content, without the
    // shadow's margin. Callers place and size the panel by it; `geometry()` is its window's.
    QRect frame() const { return geometry().marginsRemoved(m_margins); }
    void setFrame(const QRect& frame) { setGeometry(frame.marginsAdded(m_margins)); }
    // The margin the window has around the frame for the shadow: none where it is not drawn.
    QMargins shadowMargins() const { return m_margins; }

    // Whether window cycling and taskbars pass over the panel (on at creation, as for every panel
    // but the user's own floating file panels). Read when the panel next shows.
    void setIgnoresCycle(bool ignores) { m_ignoresCycle = ignores; }
    bool ignoresCycle() const { return m_ignoresCycle; }

    // What the panel's window is made with. A window with an alpha channel and no compositing
    // manager to draw it costs the server a copy of the window at every map and every drawing, and
    // still shows opaque.
    enum class Surface {
        // Always with an alpha channel.
        translucent,
        // With one only where a compositing manager ran when the window was made.
        translucentWhenComposited,
    };
    // Whether the panel's window has an alpha channel.
    bool isTranslucent() const { return testAttribute(Qt::WA_TranslucentBackground); }
    // A panel whose surface follows the compositing manager, made before one started or stopped:
    // its window has an alpha channel where none shows, or none where one would. Its owner makes
    // it anew.
    bool isSurfaceOutdated() const;

    // Every panel paints all of itself as it shows, before its window is mapped, and the desktop
    // puts that picture up the moment the window is: no panel is ever seen before its picture.
    // This shows the panel and puts Qt's own copy up at the first exposure, then runs `onScreen`
    // (at once for a panel already on screen; never for one hidden before it was exposed). A
    // panel whose window a window manager takes in, painted while hidden, may show to Qt (and to
    // `isVisible`) only once its window is on the screen.
    void showPaintedAhead(std::function<void()> onScreen = {});
    // Shown, or its window on the way to the screen ahead of Qt's showing.
    bool isShowing() const { return isVisible() || m_showPending; }

    // A hidden panel can be painted before it is asked to show, its picture handed to the desktop
    // at once: the next showing then only maps its window. The owner asks for it once the panel
    // holds all its next showing shows, and drops it whenever any of that changes; the panel drops
    // it itself when its size, opacity, look or surroundings change, and uses it at one showing.
    void paintWhileHidden();
    void dropPaintedAhead() { m_ahead = {}; }
    bool isPaintedWhileHidden() const { return m_ahead.valid; }

    void setVisible(bool visible) override;

protected:
    // For panels that must take keyboard focus while shown.
    FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level, bool ignoresMouse,
                  bool canBecomeKey, Surface surface = Surface::translucent);

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Cuts the window to its outline without a compositor, or gives it its whole rectangle back.
    // Where the window has no alpha channel, every repaint first fills the panel, so that nothing
    // of the last frame stays behind the new one: with its ground where that shows, else with its
    // background.
    void updateShape();
    void cutShape();
    // Gives the window the shadow's margin around the frame where the shadow shows, or takes it
    // away, keeping the frame; and limits pointer input to the outline while there is one.
    void updateShadowMargins();
    void updateInputShape();
    void paintShadow(QPainter& painter);
    // Whether the panel paints its opacity itself rather than its window showing it.
    bool paintsOpacity() const;
    void updateFill();
    // Whether the panel paints its ground under its content.
    bool paintsGround() const;
    // Whether the panel's window is off the screen: not exposed, or hidden by the panel.
    bool offScreen(const QWindow& window) const;
    // Paints the panel whose window is about to be mapped, and hands the picture to the desktop;
    // false when it could not.
    bool paintAhead(QWindow& window);
    // Paints the panel into its backing store and hands the picture to the desktop; false when
    // there was nothing to paint into.
    bool paintPicture(QWindow& window);
    // Whether the picture painted while the panel was hidden still shows it as it is now.
    bool paintedWhileHiddenHolds(const QWindow& window) const;
    // Has the desktop show the picture painted while the panel was hidden, when it still holds;
    // false when the panel must be painted now.
    bool showPaintedWhileHidden(QWindow& window);
    // Maps the window of a panel about to show with the picture painted while it was hidden, its
    // desktop hints given first, where the desktop can; false when Qt's showing maps it.
    bool mapPaintedWhileHidden();
    // What the desktop is told before each showing (a window manager forgets it on withdrawal).
    void giveDesktopHints(QWindow& window);
    // Qt's showing of a panel whose window the window manager has put on the screen; the window
    // taken off the screen again when the panel hides first.
    void finishPendingShow();
    void cancelPendingShow();
    // Puts Qt's copy of the picture up as soon as the window is exposed, then runs `onScreen`.
    void putUpAtExposure(QWindow& window, std::function<void()> onScreen);
    // What a hiding leaves behind of the showing: what waited for it, the picture painted ahead.
    void forgetShowing(QWindow& window);

    PanelWindowing& m_windowing;
    QPointer<QWidget> m_contentView;
    int m_level;
    bool m_ignoresMouse;
    bool m_canBecomeKey;
    Surface m_surface;
    double m_alpha = 1.0;
    QPointer<PanelWindowing> m_windowingAlive;
    Outline m_outline;
    bool m_hasOwnOutline = false;
    bool m_shaped = false;
    // The size the shape was last cut for and the shape, while the outline stays the same; an
    // empty size when it must be cut again.
    QSize m_shapedSize;
    QRegion m_shape;
    QColor m_ground;
    bool m_ignoresCycle = true;
    PanelShadow m_shadow = PanelShadow::soft();
    QMargins m_margins;
    QRegion m_inputShape;
    // The shadow drawn for the window's size and pixel ratio, kept while they stay the same.
    QImage m_shadowPicture;
    double m_shown = 1.0;
    // Shown painted ahead at least once.
    bool m_paintsAhead = false;
    // Painted ahead in the show under way.
    bool m_paintedAhead = false;
    // Mapped with its picture painted while hidden, as the show under way began.
    bool m_mappedAhead = false;
    // Hidden, its window unmapped, and not shown since.
    bool m_hidden = false;
    // Mapped with its picture painted while hidden, Qt's showing waiting for the window manager.
    bool m_showPending = false;
    std::function<void()> m_pendingOnScreen;
    // The showing under way is that of a window mapped already.
    bool m_shownMapped = false;
    // What the panel was painted at while hidden; a picture that no longer matches is not shown.
    struct PaintedWhileHidden {
        bool valid = false;
        QSize size;
        double shown = 1.0;
        double ratio = 1.0;
        bool showsOpacity = false;
    };
    PaintedWhileHidden m_ahead;
};

} // namespace corvane
