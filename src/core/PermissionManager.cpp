#include "core/PermissionManager.h"

#include "runtime/Log.h"

#include <QPointer>

#include <atomic>
#include <utility>

namespace corvane {

namespace {

// The process-wide state behind the cached flags, in one place: -1 while a flag has not been
// read yet, else 0 or 1.
struct CachedFlags {
    std::atomic<PermissionProbe*> probe{nullptr};
    std::atomic<int> accessibility{-1};
    std::atomic<int> screenRecording{-1};
};

CachedFlags& cachedFlags() {
    static CachedFlags flags;
    return flags;
}

bool readFlag(std::atomic<int>& flag, bool (PermissionProbe::*ask)()) {
    const int value = flag.load();
    if (value >= 0)
        return value == 1;
    PermissionProbe* probe = cachedFlags().probe.load();
    // Not cached: a probe registered later still answers the first real read.
    if (!probe)
        return false;
    const int answer = (probe->*ask)() ? 1 : 0;
    int expected = -1;
    // A probe's result written meanwhile is newer than this first read and stays.
    if (!flag.compare_exchange_strong(expected, answer))
        return expected == 1;
    return answer == 1;
}

constexpr Seconds kDefaultInterval{3.0};
constexpr double kToleranceShare = 0.3;

} // namespace

PermissionManager::PermissionManager(PermissionProbe& probe, Scheduler& scheduler, Executor& detached,
                                     SystemShell& shell, QObject* parent)
    : QObject(parent), m_probe(probe), m_scheduler(scheduler), m_detached(detached), m_shell(shell),
      m_accessibilityGranted(cachedAccessibility()), m_screenRecordingGranted(cachedScreenRecording()) {}

PermissionManager::~PermissionManager() = default;

bool PermissionManager::cachedAccessibility() {
    return readFlag(cachedFlags().accessibility, &PermissionProbe::isAccessibilityTrusted);
}

bool PermissionManager::cachedScreenRecording() {
    return readFlag(cachedFlags().screenRecording, &PermissionProbe::isScreenCaptureAllowed);
}

void PermissionManager::setProbeForFirstRead(PermissionProbe* probe) {
    cachedFlags().probe = probe;
}

void PermissionManager::resetCachedFlags() {
    cachedFlags().probe = nullptr;
    cachedFlags().accessibility = -1;
    cachedFlags().screenRecording = -1;
}

void PermissionManager::startPolling(Seconds interval) {
    m_timer.invalidate();
    Seconds safe = sanitizedDelay(interval, kDefaultInterval);
    if (safe.count() <= 0)
        safe = kDefaultInterval;
    // The handle is a member: destroying the manager cancels the timer, so `this` stays valid
    // for every tick that fires.
    m_timer = m_scheduler.scheduleRepeating(safe, safe * kToleranceShare, [this] { pollTick(); });
}

void PermissionManager::pollTick() {
    if (m_checking)
        return;
    startCheck();
}

void PermissionManager::startCheck() {
    m_checking = true;
    // The task runs on by itself; it finds out after its one suspension whether we still exist.
    check();
}

QCoro::Task<void> PermissionManager::check() {
    QPointer<PermissionManager> self(this);
    PermissionProbe* probe = &m_probe;
    const auto [probedAccessibility, screenRecording] = co_await runOn(m_detached, [probe] {
        const bool trusted = probe->isAccessibilityTrusted();
        const bool capture = probe->isScreenCaptureAllowed();
        return std::make_pair(trusted, capture);
    });
    if (!self)
        co_return;

    // Access that goes missing keeps reading as granted through the grace period; the probes
    // must find it missing for that long before it counts as lost.
    bool accessibility = probedAccessibility;
    if (!probedAccessibility && m_accessibilityGranted) {
        if (!m_accessibilityMissingSince)
            m_accessibilityMissingSince = m_scheduler.now();
        if (m_scheduler.elapsedSince(*m_accessibilityMissingSince) < accessibilityLossGrace)
            accessibility = true;
    } else {
        m_accessibilityMissingSince.reset();
    }

    cachedFlags().accessibility = accessibility ? 1 : 0;
    cachedFlags().screenRecording = screenRecording ? 1 : 0;
    m_checking = false;

    if (accessibility == m_accessibilityGranted && screenRecording == m_screenRecordingGranted) {
        Q_EMIT checked();
        co_return;
    }
    qCInfo(lcPermissions).noquote() << QStringLiteral(
                                           "Permissions changed: accessibility=%1 screenRecording=%2")
                                           .arg(QLatin1String(Log::boolText(accessibility)),
                                                QLatin1String(Log::boolText(screenRecording)));
    setAccessibilityGranted(accessibility);
    setScreenRecordingGranted(screenRecording);
    if (onChange)
        onChange(accessibility, screenRecording);
    if (self)
        Q_EMIT checked();
}

bool PermissionManager::requestScreenRecording() {
    setScreenRecordingRequested(true);
    bool shown = m_probe.requestScreenCapture();
    if (!shown)
        shown = m_shell.openSettingsPane(SettingsPane::screenRecording);
    if (!m_checking)
        startCheck();
    return shown;
}

bool PermissionManager::requestAccessibility() {
    const bool opened = m_shell.openSettingsPane(SettingsPane::accessibility);
    if (!m_checking)
        startCheck();
    return opened;
}

QString PermissionManager::explanation(bool screenRecording) {
    const QString text = screenRecording ? m_probe.screenCaptureHelp() : m_probe.accessibilityHelp();
    qCInfo(lcPermissions).noquote() << (screenRecording ? QStringLiteral("Screen Recording: ")
                                                        : QStringLiteral("Accessibility: "))
                                    << text;
    return text;
}

void PermissionManager::setAccessibilityGranted(bool granted) {
    if (m_accessibilityGranted == granted)
        return;
    m_accessibilityGranted = granted;
    Q_EMIT accessibilityGrantedChanged(granted);
}

void PermissionManager::setScreenRecordingGranted(bool granted) {
    if (m_screenRecordingGranted == granted)
        return;
    m_screenRecordingGranted = granted;
    Q_EMIT screenRecordingGrantedChanged(granted);
}

void PermissionManager::setScreenRecordingRequested(bool requested) {
    if (m_screenRecordingRequested == requested)
        return;
    m_screenRecordingRequested = requested;
    Q_EMIT screenRecordingRequestedChanged(requested);
}

} // namespace corvane
