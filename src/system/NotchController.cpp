#include "system/NotchController.h"

#include "core/FloatingPanel.h"
#include "core/NotchGeometry.h"
#include "core/ScreenHelpers.h"
#include "core/SettingKeys.h"
#include "core/Settings.h"
#include "platform/Screens.h"
#include "platform/SoundOutput.h"
#include "runtime/Log.h"
#include "system/NotchHUDView.h"

#include <QPainterPath>
#include <QRegion>

#include <cmath>

namespace corvane {

namespace {

// Above every other panel: the display covers what lies under the notch.
constexpr int notchLevel = 1000;

} // namespace

NotchController::NotchController(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services)) {
    // The keys follow the sound server: served while it answers, left to others while it is gone,
    // and taken again when it comes back, even when no other key was held meanwhile.
    m_services.sound.onAvailabilityChanged([self = QPointer<NotchController>(this)](bool) {
        if (self && self->m_tapWanted)
            self->installTap();
    });
}

NotchController::~NotchController() {
    removeTap();
}

void NotchController::start() {
    loadStepSettings();
    updateTap();
    refreshPanels();
    connect(&m_services.screens, &Screens::screensChanged, this, &NotchController::screenParametersChanged);
    onSettingChange(
        m_services.settings, this, [this] { refreshPanels(); }, SettingKeys::notchAwakeIndicator);
}

void NotchController::loadStepSettings() {
    const Settings& settings = m_services.settings;
    m_steps.load(settings.volumeStepPercent(), settings.brightnessStepPercent(),
                 settings.minBrightnessPercent());
}

void NotchController::updateTap() {
    const bool trusted = m_services.accessibilityTrusted && m_services.accessibilityTrusted();
    if (m_services.settings.notchHUD() && trusted)
        installTap();
    else
        removeTap();
}

void NotchController::installTap() {
    m_tapWanted = true;
    std::vector<MediaKey> keys;
    if (m_services.sound.isAvailable())
        keys.insert(keys.end(), {MediaKey::volumeUp, MediaKey::volumeDown, MediaKey::mute});
    if (m_services.backlight.isAvailable())
        keys.insert(keys.end(), {MediaKey::brightnessUp, MediaKey::brightnessDown});
    if (keys == m_grabbedKeys)
        return;
    releaseKeys();
    if (keys.empty() || !m_services.grabMediaKeys)
        return;
    QPointer<NotchController> self(this);
    // Runs where the keys arrive; only the steps and the devices are touched there.
    auto handler = [this](MediaKey key, bool pressed, bool fine) {
        return handleMediaKey(key, pressed, fine);
    };
    if (!m_services.grabMediaKeys(keys, handler)) {
        qCCritical(lcApp, "Notch HUD: could not create event tap");
        return;
    }
    m_grabbedKeys = keys;
}

void NotchController::removeTap() {
    m_tapWanted = false;
    releaseKeys();
}

void NotchController::releaseKeys() {
    if (!m_grabbedKeys.empty() && m_services.grabMediaKeys)
        m_services.grabMediaKeys({}, {});
    m_grabbedKeys.clear();
}

bool NotchController::handleMediaKey(MediaKey key, bool pressed, bool fine) {
    const MediaKeyResult result =
        corvane::handleMediaKey(key, pressed, fine, m_steps, m_services.sound, m_services.backlight);
    if (result.report)
        showFromKeys(*result.report);
    return result.handled;
}

void NotchController::showFromKeys(const LevelReport& report) {
    QMetaObject::invokeMethod(
        this, [this, report] { showHUD(report.kind, report.muted, report.level, keyDuration); },
        Qt::QueuedConnection);
}

void NotchController::showHUD(NotchModel::Kind kind, bool muted, float level, Seconds duration) {
    m_lastHUD = ShownHUD{kind, muted, level, duration};
    std::optional<ScreenInfo> screen = notchScreen(m_services.screens.screens());
    if (!screen)
        screen = screenUnderMouse(m_services.screens);
    if (!screen)
        return;
    const QRectF anchor = notchRect(*screen).value_or(fallbackBand(*screen));
    if (!m_hudPanel)
        makeHUDPanel(anchor);
    m_model.setKind(kind);
    m_model.setLevel(level);
    m_model.setMuted(muted);
    m_hudPanel->show();
    m_hudPanel->raise();
    m_model.setVisible(true);
    m_foldTimer.invalidate();
    m_hideDuration = duration;
    hideLater(m_hideTask.renew());
}

QCoro::Task<void> NotchController::hideLater(CancellationToken token) {
    if (co_await m_services.scheduler.sleep(m_hideDuration, token) == SleepResult::cancelled)
        co_return;
    m_model.setVisible(false);
    m_foldTimer = m_services.scheduler.schedule(foldDuration, [this] {
        if (m_hudPanel)
            m_hudPanel->hide();
    });
}

FloatingPanel* NotchController::makeHUDPanel(const QRectF& anchor) {
    m_hudPanel =
        std::make_unique<FloatingPanel>(m_services.windowing, QRect(0, 0, 100, 100), notchLevel, true);
    // The bar is part of the notch: nothing shades the screen around it.
    m_hudPanel->setHasShadow(false);
    const double width = anchor.width() + 2 * NotchHUDView::columnWidth;
    m_hudPanel->setGeometry(
        pixelRect(QRectF(anchor.center().x() - width / 2, anchor.top(), width, anchor.height())));
    auto* view = new NotchHUDView(m_model, anchor.width(), anchor.height(), &m_services.animator);
    // The view takes the panel's size here, so the first outline cut from it is centred.
    m_hudPanel->setContentView(view);
    // The window itself takes the bar's outline at every stage of its unfolding, so that it looks
    // and moves the same with or without a compositing manager; folded, only the part behind the
    // notch remains.
    auto reshape = [panel = QPointer<FloatingPanel>(m_hudPanel.get()), view] {
        if (panel)
            panel->setMask(QRegion(view->outlineAt(view->unfold()).toFillPolygon().toPolygon()));
    };
    connect(view, &NotchHUDView::outlineChanged, view, reshape);
    reshape();
    return m_hudPanel.get();
}

void NotchController::screenParametersChanged() {
    m_hudPanel.reset();
    if (m_pillPanel)
        m_pillPanel->hide();
    m_pillPanel.reset();
    refreshPanels();
}

FloatingPanel* NotchController::hudPanel() const {
    return m_hudPanel.get();
}

FloatingPanel* NotchController::pillPanel() const {
    return m_pillPanel.get();
}

} // namespace corvane
