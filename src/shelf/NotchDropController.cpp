#include "shelf/NotchDropController.h"

#include "core/FloatingPanel.h"
#include "core/NotchGeometry.h"
#include "core/Settings.h"
#include "platform/DragSource.h"
#include "platform/Screens.h"
#include "runtime/Log.h"
#include "shelf/FileShelf.h"
#include "shelf/NotchDropTargets.h"
#include "shelf/NotchDropView.h"

#include <QPointer>
#include <QRegion>

#include <cmath>

namespace corvane {

namespace {

using Kind = NotchDropModel::Phase::Kind;

} // namespace

NotchDropController::NotchDropController(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_iconCache(m_services.icons) {}

NotchDropController::~NotchDropController() {
    if (m_services.monitors)
        for (EventMonitors::Handle handle : m_monitors)
            m_services.monitors->removeMonitor(handle);
}

std::optional<QRectF> NotchDropController::currentNotch(ScreenInfo* screenOut) const {
    const std::optional<ScreenInfo> screen = notchScreen(m_services.screens.screens());
    if (!screen)
        return std::nullopt;
    if (screenOut)
        *screenOut = *screen;
    return notchRect(*screen);
}

void NotchDropController::start() {
    if (m_services.monitors)
        for (EventMonitors::Handle handle : m_monitors)
            m_services.monitors->removeMonitor(handle);
    m_monitors.clear();
    if (m_panel)
        m_panel->hide();
    m_panel.reset();
    const std::optional<QRectF> notch = currentNotch();
    if (!m_services.settings.notchTray() || !notch)
        return;
    if (m_services.monitors) {
        QPointer<NotchDropController> self(this);
        auto keep = [this](std::optional<EventMonitors::Handle> handle) {
            if (handle)
                m_monitors.push_back(*handle);
        };
        EventMonitors& monitors = *m_services.monitors;
        keep(monitors.addGlobalMonitor(EventMask::leftMouseDown, [self](const MonitoredEvent&) {
            if (self)
                self->mouseDown();
        }));
        keep(monitors.addGlobalMonitor(EventMask::leftMouseDragged, [self](const MonitoredEvent&) {
            if (self)
                self->mouseDragged();
        }));
        keep(monitors.addGlobalMonitor(EventMask::leftMouseUp, [self](const MonitoredEvent&) {
            if (self)
                self->finishDrag();
        }));
    }
    installClickPanel(*notch);
}

void NotchDropController::installClickPanel(const QRectF& notch) {
    m_panel = std::make_unique<FloatingPanel>(m_services.windowing, QRect(0, 0, 100, 100), PanelLevel::status,
                                              false);
    m_panel->setHasShadow(false);
    m_panel->setGeometry(pixelRect(notch));
    QPointer<NotchDropController> self(this);
    auto click = [self] {
        if (self)
            self->notchClicked();
    };
    auto* clickView = new NotchClickView;
    clickView->onClick = click;
    // The card is laid out for the open panel and hangs from the top centre of whatever size the
    // panel has, so at rest it is folded into the notch.
    auto* card = new NotchDropView(m_model, m_services.settings, notch.width(), notch.height(),
                                   &m_services.animator, clickView);
    auto* target = new DropTargetView(clickView);
    target->onTargeted = [self](bool inside) {
        if (self)
            self->updateZone(inside, self->m_services.screens.pointerLocation());
    };
    target->onMove = [self](QPointF point) {
        if (self)
            self->updateZone(true, point);
    };
    target->onDrop = [self](const QList<QUrl>& urls) {
        if (self)
            self->deliver(urls, self->zoneAt(self->m_services.screens.pointerLocation().x()));
    };
    target->onClick = click;
    m_panel->setContentView(clickView);
    auto layout = [clickView, card, target] {
        card->setGeometry(clickView->rect());
        target->setGeometry(clickView->rect());
    };
    // The window takes the card's outline, so that it looks the same without a compositing
    // manager; folded, the notch itself remains.
    auto reshape = [panel = QPointer<FloatingPanel>(m_panel.get()), card, layout] {
        if (!panel)
            return;
        layout();
        const QPainterPath outline = card->outline();
        panel->setMask(outline.isEmpty() ? QRegion(panel->rect())
                                         : QRegion(outline.toFillPolygon().toPolygon()));
    };
    connect(&m_model, &NotchDropModel::changed, card, reshape);
    connect(card, &NotchDropView::outlineChanged, card, reshape);
    m_panel->show();
    reshape();
}

void NotchDropController::mouseDown() {
    m_dragChangeCount = m_services.drags.changeCount();
}

void NotchDropController::mouseDragged() {
    dragStarted();
    if (m_dragActive)
        updateZone(pointerInside(), m_services.screens.pointerLocation());
}

void NotchDropController::dragStarted() {
    if (m_dragActive)
        return;
    const DragSource& drags = m_services.drags;
    // One mouse-down begins at most one drag: the count taken then is kept.
    if (drags.changeCount() == m_dragChangeCount || !drags.carriesFileURLs())
        return;
    qCInfo(lcApp, "Notch drop: file drag started");
    m_dragActive = true;
    m_droppedThisDrag = false;
    showDropPanel();
    QPointer<NotchDropController> self(this);
    // Covers a release the monitors do not report.
    m_releaseWatch = m_services.scheduler.scheduleRepeating(releaseWatchInterval, Seconds(0), [self] {
        if (self)
            self->releaseWatchFired();
    });
}

void NotchDropController::showDropPanel() {
    ScreenInfo screen;
    const std::optional<QRectF> notch = currentNotch(&screen);
    if (!notch || !m_panel)
        return;
    m_hideTask.cancel();
    const double width = notch->width() + 260;
    const double height = notch->height() + 64;
    m_panel->setGeometry(
        pixelRect(QRectF(notch->center().x() - width / 2, screen.frame.top(), width, height)));
    m_panel->show();
    m_panel->raise();
    m_model.setZone(std::nullopt);
    // Without a way to send files nearby, offering it would report a send that never happens.
    m_model.setShowAirDrop(m_services.settings.notchAirDrop() && bool(m_services.shareNearby));
    m_model.setPhase(NotchDropModel::Phase::waiting());
}

bool NotchDropController::pointerInside() const {
    if (!m_panel)
        return false;
    const QRectF area = QRectF(m_panel->geometry()).adjusted(-hitMargin, -hitMargin, hitMargin, hitMargin);
    const QPointF p = m_services.screens.pointerLocation();
    // The left and lower edges belong to the area, the right and upper ones do not (the lower edge
    // is the larger y).
    return p.x() >= area.left() && p.x() < area.right() && p.y() > area.top() && p.y() <= area.bottom();
}

DropZone NotchDropController::zoneAt(double x) const {
    if (!m_model.showAirDrop() || !m_panel)
        return DropZone::tray;
    return x < QRectF(m_panel->geometry()).center().x() ? DropZone::airdrop : DropZone::tray;
}

void NotchDropController::updateZone(bool inside, QPointF point) {
    const NotchDropModel::Phase& phase = m_model.phase();
    if (!phase.is(Kind::waiting) && !phase.is(Kind::targeted))
        return;
    const std::optional<DropZone> zone = inside ? std::optional<DropZone>(zoneAt(point.x())) : std::nullopt;
    if (zone == m_model.zone() && inside == phase.is(Kind::targeted))
        return;
    m_model.setZone(zone);
    m_model.setPhase(inside ? NotchDropModel::Phase::targeted() : NotchDropModel::Phase::waiting());
}

void NotchDropController::releaseWatchFired() {
    if (m_dragActive)
        updateZone(pointerInside(), m_services.screens.pointerLocation());
    if (!m_services.drags.isLeftButtonDown())
        finishDrag();
}

void NotchDropController::finishDrag() {
    if (!m_dragActive)
        return;
    m_dragActive = false;
    m_releaseWatch.invalidate();
    if (m_panel && pointerInside() && !m_droppedThisDrag) {
        const QList<QUrl> urls = m_services.drags.fileURLs();
        if (!urls.isEmpty()) {
            qCInfo(lcApp, "Notch drop: added %ld files on release", long(urls.size()));
            deliver(urls, zoneAt(m_services.screens.pointerLocation().x()));
            return;
        }
    }
    QPointer<NotchDropController> self(this);
    m_releaseCheck = m_services.scheduler.schedule(releaseHideDelay, [self] {
        if (self && !self->m_model.phase().is(Kind::added))
            self->hide();
    });
}

void NotchDropController::deliver(const QList<QUrl>& urls, DropZone zone) {
    if (m_droppedThisDrag)
        return;
    m_droppedThisDrag = true;
    QList<QIcon> icons;
    for (qsizetype i = 0; i < std::min<qsizetype>(urls.size(), 3); ++i)
        icons.push_back(m_iconCache.icon(urls[i]));
    m_model.setIcons(std::move(icons));
    m_model.setPhase(NotchDropModel::Phase::added(int(urls.size()), zone));
    if (zone == DropZone::tray) {
        m_services.files.addToTray(urls);
    } else if (m_services.shareNearby) {
        // After the confirmation is drawn.
        QMetaObject::invokeMethod(
            this, [this, urls] { m_services.shareNearby(urls); }, Qt::QueuedConnection);
    }
    hideAfter(confirmationTime, m_hideTask.renew());
}

QCoro::Task<void> NotchDropController::hideAfter(Seconds delay, CancellationToken token) {
    QPointer<NotchDropController> self(this);
    if (co_await m_services.scheduler.sleep(delay, token) == SleepResult::cancelled || !self)
        co_return;
    hide();
}

void NotchDropController::hide() {
    m_model.setPhase(NotchDropModel::Phase::hidden());
    QPointer<NotchDropController> self(this);
    m_collapse = m_services.scheduler.schedule(collapseDelay, [self] {
        if (!self || !self->m_model.phase().is(Kind::hidden) || self->m_dragActive || !self->m_panel)
            return;
        if (const std::optional<QRectF> notch = self->currentNotch())
            self->m_panel->setGeometry(pixelRect(*notch));
    });
}

void NotchDropController::notchClicked() {
    if (!m_model.phase().is(Kind::hidden))
        return;
    if (const std::optional<QRectF> notch = currentNotch())
        m_services.trayOpener.showTrayPopover(*notch);
}

} // namespace corvane
