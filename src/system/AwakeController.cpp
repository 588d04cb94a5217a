#include "system/AwakeController.h"

#include "core/Settings.h"
#include "core/StatusItems.h"
#include "platform/UserDefaults.h"
#include "runtime/Log.h"
#include "system/AwakeSymbols.h"

#include <QMenu>

#include <cmath>

namespace corvane {

namespace {

const char* const kHoldReason = "Corvane Keep Awake";
const char* const kLidRecordKey = "awakeLidWasDisabled";

} // namespace

AwakeController::AwakeController(Services services)
    : m_settings(services.settings), m_scheduler(services.scheduler), m_holds(services.holds),
      m_defaults(services.defaults), m_statusItems(services.statusItems), m_opener(services.opener),
      m_menu(std::make_unique<QMenu>()) {
    connect(m_menu.get(), &QMenu::aboutToShow, this, [this] {
        buildMenu(*m_menu);
        menuWillOpen();
    });
    connect(m_menu.get(), &QMenu::aboutToHide, this, &AwakeController::menuDidClose);
}

// The status item belongs to the status items, which go first at quit; nothing to undo here.
AwakeController::~AwakeController() = default;

const std::array<AwakeDuration, 10>& AwakeController::durations() {
    static const std::array<AwakeDuration, 10> table{{
        {"10 minutes", 600, false},
        {"15 minutes", 900, false},
        {"25 minutes", 1500, false},
        {"30 minutes", 1800, false},
        {"1 hour", 3600, false},
        {"2 hours", 7200, false},
        {"3 hours", 10800, false},
        {"4 hours", 14400, false},
        {"5 hours", 18000, false},
        {"Indefinitely", 0, true},
    }};
    return table;
}

QString AwakeController::title(AwakeMode mode) {
    switch (mode) {
    case AwakeMode::display:
        return QStringLiteral("Display");
    case AwakeMode::system:
        return QStringLiteral("System only");
    case AwakeMode::lidClosed:
        return QStringLiteral("Lid closed");
    }
    return {};
}

QString AwakeController::description(AwakeMode mode) {
    switch (mode) {
    case AwakeMode::display:
        return QStringLiteral("Screen stays on");
    case AwakeMode::system:
        return QStringLiteral("Screen may turn off, computer keeps running");
    case AwakeMode::lidClosed:
        return QStringLiteral("Lid can be closed, computer stays awake");
    }
    return {};
}

std::vector<PowerHolds::Kind> AwakeController::holdKinds(AwakeMode mode) {
    // The lid switch is not among them: it is held apart, as it outlives a switch between
    // lid-closed periods.
    if (mode == AwakeMode::display)
        return {PowerHolds::Kind::displaySleep, PowerHolds::Kind::idleSleep};
    return {PowerHolds::Kind::idleSleep};
}

void AwakeController::setActive(bool active) {
    if (m_isActive == active)
        return;
    m_isActive = active;
    Q_EMIT activeChanged(active);
}

void AwakeController::setEndDate(std::optional<Instant> date) {
    if (m_endDate == date)
        return;
    m_endDate = date;
    Q_EMIT endDateChanged();
}

void AwakeController::releaseAssertions() {
    for (const PowerHolds::HoldID id : m_assertions)
        m_holds.release(id);
    m_assertions.clear();
}

bool AwakeController::setLidSleepDisabled(bool disabled) {
    if (!disabled) {
        if (m_lidHold)
            m_holds.release(*m_lidHold);
        m_lidHold.reset();
        return true;
    }
    if (!m_lidHold)
        m_lidHold = m_holds.take(PowerHolds::Kind::lidSwitch, kHoldReason);
    if (!m_lidHold)
        qCWarning(lcApp, "Keep awake: the login service refused to hold the lid switch");
    return m_lidHold.has_value();
}

void AwakeController::start(std::optional<double> seconds) {
    // A length that is not a positive finite number means no end, as a stored 0 does.
    if (seconds && !(std::isfinite(*seconds) && *seconds > 0))
        seconds.reset();
    if (seconds)
        *seconds = std::min(*seconds, maximumDelaySeconds);

    ++m_starts;
    if (m_startDepth++ == 0)
        m_lidRefused = false;
    releaseAssertions();
    const AwakeMode mode = m_settings.awakeMode();
    m_holdsSleep = false;
    for (const PowerHolds::Kind kind : holdKinds(mode)) {
        if (const auto id = m_holds.take(kind, kHoldReason)) {
            m_assertions.push_back(*id);
            m_holdsSleep = m_holdsSleep || kind == PowerHolds::Kind::idleSleep;
        }
    }

    if (mode == AwakeMode::lidClosed && !m_lidSleepDisabled) {
        m_lidSleepDisabled = setLidSleepDisabled(true);
        // The period goes on in the system mode; the change of mode comes back here through
        // reapplyMode while a period runs, and takes the system mode's holds.
        if (!m_lidSleepDisabled) {
            m_lidRefused = true;
            m_settings.setAwakeMode(AwakeMode::system);
        }
    } else if (mode != AwakeMode::lidClosed && m_lidSleepDisabled) {
        m_lidSleepDisabled = !setLidSleepDisabled(false);
    }

    // What a mode change above may have restarted is read afresh: one set of holds, one timer.
    setActive(!m_assertions.empty());
    m_couldNotHold = m_assertions.empty();
    if (m_couldNotHold)
        qCWarning(lcApp, "Keep awake: the system granted no power hold; the computer may sleep");
    else if (!m_holdsSleep)
        qCWarning(lcApp,
                  "Keep awake: only the screen saver is held; no login service kept the computer awake");
    setEndDate(seconds ? std::optional<Instant>(m_scheduler.now() + toInstant(Seconds(*seconds)))
                       : std::nullopt);
    m_settings.setAwakeLastDuration(seconds.value_or(0));
    if (--m_startDepth == 0)
        reportStart();

    m_endTimer.invalidate();
    if (seconds) {
        QPointer<AwakeController> self(this);
        m_endTimer = m_scheduler.schedule(Seconds(*seconds), [self] {
            if (self)
                self->stop();
        });
    }
    refreshStatusButton();
}

// Says once, after the outermost start, what the system refused; nothing when all was held.
void AwakeController::reportStart() {
    QString message;
    if (m_lidRefused)
        message = m_isActive
                      ? QStringLiteral("Could not hold the lid switch: keeping awake in System only mode")
                      : QStringLiteral("Could not hold the lid switch, nor keep the computer awake");
    else if (m_couldNotHold)
        message = QStringLiteral("Could not keep the computer awake: the system refused to hold off sleep");
    else if (!m_holdsSleep)
        message = QStringLiteral("Only the screen is kept on: no login service keeps the computer awake");
    if (!message.isEmpty())
        Q_EMIT problem(message);
}

void AwakeController::stop() {
    releaseAssertions();
    m_holdsSleep = false;
    if (m_lidSleepDisabled)
        m_lidSleepDisabled = !setLidSleepDisabled(false);
    m_endTimer.invalidate();
    setActive(false);
    setEndDate(std::nullopt);
    refreshStatusButton();
}

void AwakeController::toggle() {
    if (m_isActive) {
        stop();
        return;
    }
    const double last = m_settings.awakeLastDuration();
    start(last > 0 ? std::optional<double>(last) : std::nullopt);
}

void AwakeController::reapplyMode() {
    if (!m_isActive)
        return;
    if (!m_endDate) {
        start(std::nullopt);
        return;
    }
    const double remaining = std::chrono::duration_cast<Seconds>(*m_endDate - m_scheduler.now()).count();
    start(std::max(remaining, 1.0));
}

void AwakeController::releaseAll() {
    releaseAssertions();
    if (m_lidSleepDisabled)
        setLidSleepDisabled(false);
}

QString AwakeController::statusText() const {
    if (!m_isActive)
        return QStringLiteral("Not active — your computer can sleep");
    // Only what was held is claimed: the screen saver alone keeps the screen on, not the computer.
    const QString held = m_holdsSleep ? QStringLiteral("Active") : QStringLiteral("Screen kept on");
    if (!m_endDate)
        return held + QStringLiteral(", indefinitely");
    const double left = std::chrono::duration_cast<Seconds>(*m_endDate - m_scheduler.now()).count();
    const long long r = std::max(0LL, static_cast<long long>(std::trunc(left)));
    return (held + QStringLiteral(", %1:%2:%3 left"))
        .arg(r / 3600)
        .arg((r % 3600) / 60, 2, 10, QLatin1Char('0'))
        .arg(r % 60, 2, 10, QLatin1Char('0'));
}

void AwakeController::recoverLidSleep(UserDefaults& defaults) {
    if (!defaults.boolValue(kLidRecordKey).value_or(false))
        return;
    defaults.set(kLidRecordKey, false);
}

void AwakeController::refreshStatusButton() {
    m_defaults.set(kLidRecordKey, m_lidSleepDisabled);
    if (m_item) {
        m_item->setIcon(awakeStatusIcon(m_isActive));
        m_item->setToolTip(m_isActive ? statusText() : QStringLiteral("Corvane Keep Awake — off"));
    }
    Q_EMIT statusChanged();
}

void AwakeController::updateStatusItem() {
    if (m_settings.showAwakeIcon() && !m_item) {
        QPointer<AwakeController> self(this);
        m_item = &m_statusItems.makeStatusItem(QStringLiteral("awake"), [self] {
            if (self)
                self->m_settings.setShowAwakeIcon(false);
        });
        m_item->setMenu(m_menu.get());
        refreshStatusButton();
    } else if (!m_settings.showAwakeIcon() && m_item) {
        m_statusItems.removeStatusItem(QStringLiteral("awake"));
        m_item = nullptr;
    }
}

} // namespace corvane
