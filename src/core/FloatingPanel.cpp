#include "core/FloatingPanel.h"

#include "platform/PanelWindowing.h"

#include <QBackingStore>
#include <QBitmap>
#include <QCoreApplication>
#include <QGraphicsOpacityEffect>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace corvane {

namespace {

std::function<void()> chained(std::function<void()> first, std::function<void()> then) {
    if (!first)
        return then;
    if (!then)
        return first;
    return [first = std::move(first), then = std::move(then)] {
        first();
        then();
    };
}

} // namespace

FloatingPanel::FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level,
                             bool ignoresMouse)
    : FloatingPanel(windowing, contentRect, level, ignoresMouse, false) {}

FloatingPanel::FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level,
                             bool ignoresMouse, bool canBecomeKey, Surface surface)
    : QWidget(nullptr), m_windowing(windowing), m_level(level), m_ignoresMouse(ignoresMouse),
      m_canBecomeKey(canBecomeKey), m_surface(surface) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
    if (level > PanelLevel::normal)
        flags |= Qt::WindowStaysOnTopHint;
    if (!canBecomeKey)
        flags |= Qt::WindowDoesNotAcceptFocus;
    if (ignoresMouse)
        flags |= Qt::WindowTransparentForInput;
    setWindowFlags(flags);

    // Every panel shows without the keyboard, one that can take it included (it takes it when the
    // user clicks into it). Qt reads this when it creates the native window, so it comes first.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setAttribute(Qt::WA_TranslucentBackground, surface == Surface::translucent || windowing.isCompositing());
    // A panel that never takes focus is never the active window; its tooltips show all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAttribute(Qt::WA_TransparentForMouseEvents, ignoresMouse);
    // The owner keeps the panel for reuse: closing it only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    if (!canBecomeKey)
        setFocusPolicy(Qt::NoFocus);

    // The frame is the caller's; the content view follows it rather than sizing the panel.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    setGeometry(contentRect);
    // The native window exists from the start, so that the desktop hints can be set before the
    // first show.
    winId();
    if (QWindow* window = windowHandle())
        windowing.showWithoutActivating(*window);
    m_windowingAlive = &windowing;
    // A panel draws its own shadow, or none: a compositing manager's would follow the window's
    // rectangle, and the window holds the panel's own shadow around its outline.
    if (QWindow* window = windowHandle())
        windowing.setCompositorShadow(*window, false);
    updateShadowMargins();
    connect(&windowing, &PanelWindowing::compositingChanged, this, [this] {
        dropPaintedAhead();
        setShownOpacity(m_shown);
        updateShadowMargins();
        updateShape();
        // The ground shows only without a compositing manager.
        update();
    });
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::setContentView(QWidget* view) {
    if (view == m_contentView)
        return;
    dropPaintedAhead();
    delete m_contentView.data();
    m_contentView = view;
    if (view) {
        layout()->addWidget(view);
        // The view has the panel's size at once, not only once the layout runs at the first show:
        // an outline or shape taken from it before then would be the default size's.
        view->setGeometry(rect().marginsRemoved(m_margins));
    }
    if (!m_hasOwnOutline) {
        const QVariant radius = view ? view->property(cornerRadiusProperty) : QVariant();
        m_outline = radius.isValid() ? roundedOutline(radius.toDouble()) : Outline();
        m_shapedSize = QSize();
        m_shadowPicture = QImage();
        updateShape();
    }
    // A new view shows at the panel's opacity.
    setShownOpacity(m_shown);
    const QVariant ground = view ? view->property(groundColorProperty) : QVariant();
    if (ground.isValid())
        setGroundColor(ground.value<QColor>());
}

bool FloatingPanel::isSurfaceOutdated() const {
    return m_surface == Surface::translucentWhenComposited && m_windowingAlive &&
           isTranslucent() != m_windowing.isCompositing();
}

void FloatingPanel::setGroundColor(const QColor& color) {
    if (color != m_ground)
        dropPaintedAhead();
    m_ground = color;
    if (m_ground.isValid())
        m_ground.setAlpha(255);
    updateFill();
    update();
}

bool FloatingPanel::paintsGround() const {
    return m_ground.isValid() && m_shaped && !(showsOpacity() && isTranslucent());
}

void FloatingPanel::updateFill() {
    // Without an alpha channel nothing clears the panel before a repaint: its background does,
    // unless the ground covers it anyway.
    const QWindow* window = windowHandle();
    const bool hasAlpha = !window || window->format().hasAlpha();
    setAutoFillBackground(!hasAlpha && !paintsGround());
}

void FloatingPanel::paintEvent(QPaintEvent* event) {
    if (!m_margins.isNull()) {
        QPainter painter(this);
        painter.setOpacity(paintsOpacity() ? m_shown : 1.0);
        paintShadow(painter);
    }
    // Only a window cut to its outline: anything else would fill its transparent surroundings.
    // Under a compositing manager the content's own translucency shows instead.
    if (!paintsGround())
        return;
    QPainter painter(this);
    painter.fillRect(event->rect(), m_ground);
}

void FloatingPanel::showPaintedAhead(std::function<void()> onScreen) {
    QWindow* window = windowHandle();
    const bool ahead = window && offScreen(*window) && m_windowingAlive;
    if (m_showPending) {
        m_pendingOnScreen = chained(std::move(m_pendingOnScreen), std::move(onScreen));
        return;
    }
    // A window manager takes a window in faster while its program leaves the server alone, and
    // Qt's showing talks to the server all along: a window mapped with the picture painted while
    // hidden shows its panel to Qt once the window manager has it on the screen.
    if (ahead && !isVisible() && !windowFlags().testFlag(Qt::BypassWindowManagerHint) &&
        mapPaintedWhileHidden()) {
        m_showPending = true;
        m_pendingOnScreen = std::move(onScreen);
        QPointer<FloatingPanel> self(this);
        // Before Qt hears of the map: it shows a window it counts as unmapped.
        m_windowing.whenMapped(*window, [self] {
            if (self)
                self->finishPendingShow();
        });
        return;
    }
    show();
    if (!ahead) {
        if (onScreen)
            onScreen();
        return;
    }
    putUpAtExposure(*windowHandle(), std::move(onScreen));
}

void FloatingPanel::putUpAtExposure(QWindow& window, std::function<void()> onScreen) {
    // Qt puts the picture up once it has gone through all the window manager said while taking
    // the window in; it can go up as soon as the window shows.
    QPointer<FloatingPanel> self(this);
    m_windowing.whenExposed(window, [self, onScreen = std::move(onScreen)] {
        if (!self)
            return;
        if (QBackingStore* store = self->backingStore(); store && self->windowHandle())
            store->flush(QRegion(self->rect()), self->windowHandle());
        if (onScreen)
            onScreen();
    });
}

bool FloatingPanel::offScreen(const QWindow& window) const {
    // Qt counts a window exposed until it has gone through the server's word that the window was
    // unmapped, which on a loaded machine may come after the panel was shown again: a panel that
    // hid has its window off the screen from that moment.
    return m_hidden || !window.isExposed();
}

bool FloatingPanel::paintAhead(QWindow& window) {
    if (!offScreen(window) || !m_windowingAlive)
        return false;
    return showPaintedWhileHidden(window) || paintPicture(window);
}

void FloatingPanel::paintWhileHidden() {
    m_ahead = {};
    QWindow* window = windowHandle();
    if (isShowing() || !window || !offScreen(*window) || !m_windowingAlive)
        return;
    // The shape and fill as the showing would make them.
    updateShape();
    if (paintPicture(*window))
        m_ahead = {true, size(), m_shown, window->devicePixelRatio(), showsOpacity()};
}

bool FloatingPanel::paintedWhileHiddenHolds(const QWindow& window) const {
    const QBackingStore* store = backingStore();
    return m_ahead.valid && m_ahead.size == size() && m_ahead.shown == m_shown &&
           m_ahead.ratio == window.devicePixelRatio() && m_ahead.showsOpacity == showsOpacity() && store &&
           store->size() == size();
}

bool FloatingPanel::showPaintedWhileHidden(QWindow& window) {
    // Shown once at most: the next hiding forgets the picture on the desktop's side.
    const bool holds = paintedWhileHiddenHolds(window);
    m_ahead = {};
    if (!holds || !m_windowing.showFirstPictureAgain(window))
        return false;
    // The backing store holds the picture too, for Qt to put up at the first exposure. The repaints
    // the showing asks for are dropped once it is through (setVisible).
    m_paintsAhead = true;
    return true;
}

bool FloatingPanel::paintPicture(QWindow& window) {
    QBackingStore* store = backingStore();
    if (!store)
        return false;
    // Qt paints only a window it counts as mapped, which it does once the window is exposed, and
    // the server shows a window it maps with what lies in it until then: black where it has an
    // alpha channel. The panel is drawn into its backing store now instead, and that picture is
    // what the server shows from the first moment the window is on the screen, however long the
    // program takes to get to it.
    m_paintsAhead = true;
    // Showing asked for a later repaint of every widget; the one below covers them all.
    QCoreApplication::removePostedEvents(this, QEvent::UpdateLater);
    for (QWidget* child : findChildren<QWidget*>())
        QCoreApplication::removePostedEvents(child, QEvent::UpdateLater);
    const QRegion all(rect());
    // Made to the window's size by Qt only as it paints.
    if (store->size() != size())
        store->resize(size());
    store->beginPaint(all);
    RenderFlags flags = DrawChildren;
    if (autoFillBackground())
        flags |= DrawWindowBackground;
    render(store->paintDevice(), QPoint(), all, flags);
    store->endPaint();
    const QPaintDevice* device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return false;
    const auto& painted = static_cast<const QImage&>(*device);
    const QRect pixels(QPoint(0, 0), size() * window.devicePixelRatio());
    // The backing store's own picture is handed over as it is when it has the window's size: a
    // copy of it took longer than drawing it.
    m_windowing.showFirstPicture(
        window, painted.rect() == pixels ? painted : painted.copy(pixels.intersected(painted.rect())));
    return true;
}

void FloatingPanel::finishPendingShow() {
    if (!m_showPending)
        return;
    m_showPending = false;
    if (QWindow* window = windowHandle(); window && m_windowingAlive)
        m_windowing.whenMapped(*window, {});
    m_shownMapped = true;
    setVisible(true);
    m_shownMapped = false;
    // Qt drops the repaints asked for while a widget is hidden: one covers whatever changed while
    // the window manager took the window in.
    update();
    std::function<void()> onScreen = std::exchange(m_pendingOnScreen, {});
    if (QWindow* window = windowHandle(); window && m_windowingAlive)
        putUpAtExposure(*window, std::move(onScreen));
    else if (onScreen)
        onScreen();
}

void FloatingPanel::cancelPendingShow() {
    m_showPending = false;
    m_pendingOnScreen = {};
    QWindow* window = windowHandle();
    if (!window || !m_windowingAlive)
        return;
    m_windowing.unmapNow(*window);
    // A window manager still taking the window in maps it all the same: it is taken off again.
    QPointer<FloatingPanel> self(this);
    m_windowing.whenMapped(*window, [self] {
        if (self && !self->isShowing() && self->windowHandle() && self->m_windowingAlive)
            self->m_windowing.unmapNow(*self->windowHandle());
    });
    forgetShowing(*window);
}

void FloatingPanel::setVisible(bool visible) {
    if (m_showPending) {
        // Shown or hidden before the window manager had the window on the screen.
        if (visible)
            return finishPendingShow();
        cancelPendingShow();
    }
    const bool showing = visible && !isVisible();
    m_paintedAhead = false;
    m_mappedAhead = showing && (m_shownMapped || mapPaintedWhileHidden());
    QWidget::setVisible(visible);
    m_mappedAhead = false;
    if (!showing || !m_paintedAhead)
        return;
    // Showing asked for a later repaint of every widget; the one painted ahead covers them all.
    QCoreApplication::removePostedEvents(this, QEvent::UpdateLater);
    for (QWidget* child : findChildren<QWidget*>())
        QCoreApplication::removePostedEvents(child, QEvent::UpdateLater);
}

bool FloatingPanel::mapPaintedWhileHidden() {
    // Everything the window shows and the desktop must know is in place already: it is mapped
    // before Qt works through its showing, which takes longer than the map.
    QWindow* window = windowHandle();
    if (!window || !offScreen(*window) || !m_windowingAlive || !testAttribute(Qt::WA_Moved) ||
        !paintedWhileHiddenHolds(*window) || !m_windowing.canMapNow(*window))
        return false;
    giveDesktopHints(*window);
    if (!showPaintedWhileHidden(*window))
        return false;
    m_windowing.mapNow(*window, geometry());
    return true;
}

void FloatingPanel::giveDesktopHints(QWindow& window) {
    m_windowing.setListedInTaskbars(window, !m_ignoresCycle);
    m_windowing.showOnAllDesktops(window);
    m_windowing.showWithoutActivating(window);
    m_windowing.stackAboveFullScreen(window);
}

void FloatingPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_hidden = true;
    if (QWindow* window = windowHandle(); window && m_windowingAlive)
        forgetShowing(*window);
}

void FloatingPanel::forgetShowing(QWindow& window) {
    // A panel hidden before it ever showed has nothing to put up at its next showing.
    m_windowing.whenExposed(window, {});
    m_windowing.showFirstPicture(window, QImage());
    // Before painting over what it last put on the screen, Qt's backing store waits for the
    // server to have read it: a round trip, which at the next showing would wait out the window
    // manager's taking the window in and so hold the painting ahead up. It is waited for now,
    // while nothing hangs on it.
    if (m_paintsAhead) {
        if (QBackingStore* store = backingStore()) {
            store->beginPaint(QRegion(rect()));
            store->endPaint();
        }
    }
}

void FloatingPanel::setOutline(Outline outline) {
    dropPaintedAhead();
    m_hasOwnOutline = static_cast<bool>(outline);
    m_outline = std::move(outline);
    m_shapedSize = QSize();
    m_shadowPicture = QImage();
    updateShape();
}

FloatingPanel::Outline FloatingPanel::roundedOutline(double radius) {
    return [radius](const QSize& size) {
        const QRectF bounds(QPointF(0, 0), QSizeF(size));
        const double shorter = std::min(bounds.width(), bounds.height()) / 2;
        const double r = std::isfinite(radius) ? std::clamp(radius, 0.0, shorter) : 0.0;
        QPainterPath path;
        path.addRoundedRect(bounds, r, r);
        return path;
    };
}

bool FloatingPanel::showsOpacity() const {
    // The platform may go before the panels at the end.
    return !m_windowingAlive || m_windowing.isCompositing();
}

void FloatingPanel::updateShape() {
    cutShape();
    updateInputShape();
    updateFill();
}

void FloatingPanel::cutShape() {
    // The platform may go before the panels at the end. A panel whose window has no alpha
    // channel keeps its shape under a compositing manager too: its corners would show opaque.
    const bool shaped = m_outline && m_windowingAlive && (!isTranslucent() || !m_windowing.isCompositing()) &&
                        !size().isEmpty();
    if (!shaped) {
        if (m_shaped)
            clearMask();
        m_shaped = false;
        m_shapedSize = QSize();
        return;
    }
    // Cutting the shape draws the whole window's bitmap: done again only when it changes (or
    // another cut has taken its place).
    if (m_shaped && m_shapedSize == size() && mask() == m_shape)
        return;
    QBitmap bitmap(size());
    bitmap.fill(Qt::color0);
    QPainter painter(&bitmap);
    painter.fillPath(outlinePath(), Qt::color1);
    painter.end();
    setMask(bitmap);
    m_shaped = true;
    m_shapedSize = size();
    m_shape = mask();
}

void FloatingPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_outline || !m_margins.isNull())
        updateShape();
}

void FloatingPanel::setHasShadow(bool shadow) {
    dropPaintedAhead();
    m_shadow = shadow ? PanelShadow::soft() : PanelShadow::none();
    updateShadowMargins();
    updateShape();
}

bool FloatingPanel::event(QEvent* event) {
    // A change of the look reaches every widget, hidden ones too: a picture painted before is old.
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::LocaleChange:
    case QEvent::ScreenChangeInternal:
        dropPaintedAhead();
        break;
    default:
        break;
    }
    const bool handled = QWidget::event(event);
    // Raised while shown: above a full-screen window too, for as long as the panel shows.
    if (event->type() == QEvent::ZOrderChange && isVisible() && m_windowingAlive)
        if (QWindow* window = windowHandle())
            m_windowing.stackAboveFullScreen(*window);
    return handled;
}

void FloatingPanel::setAlphaValue(double alpha) {
    m_alpha = alpha;
    setShownOpacity(alpha);
}

void FloatingPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateShape();
    // Mapped as the showing began: its hints were given then, and the window manager may be
    // reading them now.
    if (m_mappedAhead) {
        m_paintedAhead = true;
        m_hidden = false;
        return;
    }
    // Qt paints a shaped window only inside its shape, and repaints what a shape change uncovers
    // only while the window shows. A panel unshaped while hidden (a compositing manager started)
    // would show its old pixels there, black: it paints all of itself before it maps.
    update();
    // Sent before Qt maps the window, so the hints are in place when the window manager looks.
    if (QWindow* window = windowHandle()) {
        giveDesktopHints(*window);
        const bool pictured = paintAhead(*window);
        m_paintedAhead = m_paintsAhead && offScreen(*window);
        // A window no window manager takes in shows its picture at once: Qt would first wait for
        // an answer of the server.
        if (pictured && windowFlags().testFlag(Qt::BypassWindowManagerHint) && m_windowing.canMapNow(*window))
            m_windowing.mapNow(*window, geometry());
    }
    m_hidden = false;
}

// The panel's own shadow.

QPainterPath FloatingPanel::outlinePath() const {
    if (!m_outline)
        return {};
    return m_outline(size().shrunkBy(m_margins)).translated(m_margins.left(), m_margins.top());
}

bool FloatingPanel::paintsOpacity() const {
    return isTranslucent() && showsOpacity();
}

void FloatingPanel::setShownOpacity(double opacity) {
    m_shown = std::clamp(std::isfinite(opacity) ? opacity : 1.0, 0.0, 1.0);
    const bool painted = paintsOpacity();
    if (painted && windowOpacity() != 1.0)
        setWindowOpacity(1.0);
    else if (!painted && windowOpacity() != m_shown)
        setWindowOpacity(m_shown);
    // The content is drawn through an opacity effect only while it is not whole: the effect draws
    // the content apart first.
    if (m_contentView) {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(m_contentView->graphicsEffect());
        if (painted && m_shown < 1.0) {
            if (!effect) {
                effect = new QGraphicsOpacityEffect(m_contentView);
                m_contentView->setGraphicsEffect(effect);
            }
            effect->setOpacity(m_shown);
        } else if (effect) {
            m_contentView->setGraphicsEffect(nullptr);
        }
    }
    if (painted && !m_margins.isNull())
        update();
}

void FloatingPanel::updateShadowMargins() {
    // Only a compositing manager shows the translucent pixels a shadow is made of.
    const QMargins margins =
        hasShadow() && isTranslucent() && showsOpacity() ? m_shadow.margins() : QMargins();
    if (margins == m_margins)
        return;
    const QRect kept = frame();
    m_margins = margins;
    m_shadowPicture = QImage();
    layout()->setContentsMargins(margins);
    setGeometry(kept.marginsAdded(margins));
    if (m_contentView)
        m_contentView->setGeometry(rect().marginsRemoved(margins));
    m_shapedSize = QSize();
    update();
}

void FloatingPanel::updateInputShape() {
    // A panel the pointer passes through takes no input anywhere already.
    QWindow* window = windowHandle();
    if (m_ignoresMouse || !window || !m_windowingAlive)
        return;
    QRegion shape;
    if (!m_margins.isNull() && !size().isEmpty()) {
        if (m_outline) {
            QBitmap bitmap(size());
            bitmap.fill(Qt::color0);
            QPainter painter(&bitmap);
            painter.fillPath(outlinePath(), Qt::color1);
            painter.end();
            shape = QRegion(bitmap);
        } else {
            shape = QRegion(rect().marginsRemoved(m_margins));
        }
    }
    if (shape == m_inputShape)
        return;
    m_inputShape = shape;
    m_windowing.setInputShape(*window, shape);
}

void FloatingPanel::paintShadow(QPainter& painter) {
    const double ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_shadowPicture.size() != pixels || m_shadowPicture.devicePixelRatio() != ratio) {
        QPainterPath outline = outlinePath();
        if (outline.isEmpty())
            outline.addRect(QRectF(rect().marginsRemoved(m_margins)));
        m_shadowPicture = m_shadow.picture(QTransform::fromScale(ratio, ratio).map(outline), pixels, ratio);
        m_shadowPicture.setDevicePixelRatio(ratio);
    }
    painter.drawImage(QPointF(0, 0), m_shadowPicture);
}

} // namespace corvane
