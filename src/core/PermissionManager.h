#pragma once

#include "platform/PermissionProbe.h"
#include "platform/SystemShell.h"
#include "runtime/Executor.h"
#include "runtime/Scheduler.h"

#include <QObject>

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

namespace corvane {

// Watches the two permissions the product needs (reading and moving other programs' windows;
// capturing them), publishes them to the views and calls one handler when either changes. It
// also keeps two process-wide flags any code can read without waiting.
class PermissionManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool accessibilityGranted READ accessibilityGranted NOTIFY accessibilityGrantedChanged)
    Q_PROPERTY(bool screenRecordingGranted READ screenRecordingGranted NOTIFY screenRecordingGrantedChanged)
    Q_PROPERTY(
        bool screenRecordingRequested READ screenRecordingRequested NOTIFY screenRecordingRequestedChanged)

public:
    // The probes run on `detached`, off the main thread; everything else stays on the main thread.
    PermissionManager(PermissionProbe& probe, Scheduler& scheduler, Executor& detached, SystemShell& shell,
                      QObject* parent = nullptr);
    ~PermissionManager() override;

    bool accessibilityGranted() const { return m_accessibilityGranted; }
    bool screenRecordingGranted() const { return m_screenRecordingGranted; }
    bool screenRecordingRequested() const { return m_screenRecordingRequested; }
    // A probe is under way; ticks that come meanwhile are dropped.
    bool checking() const { return m_checking; }

    // How long window access must stay missing before it reads as lost. On X it stands for a
    // window manager being there, and one that restarts is gone for a moment only.
    static constexpr Seconds accessibilityLossGrace{5.0};

    // Called with (accessibility, screen recording) after a probe found a change.
    std::function<void(bool, bool)> onChange;

    // (Re)starts polling every `interval`; a non-finite or non-positive interval means 3 s.
    void startPolling(Seconds interval);
    // One timer tick: starts a probe unless one is running.
    void pollTick();
    // One probe of both permissions.
    QCoro::Task<void> check();
    // Asks for screen capture, sends the user to the settings when it is not granted, and
    // probes at once so that the views need not wait for the next tick. False when neither the
    // request nor the settings showed the user anything: the caller then explains.
    bool requestScreenRecording();
    // Sends the user to where window access is given; false where the desktop has no such place.
    bool requestAccessibility();
    // What is missing for the permission and how the user gets it (`screenRecording` false: window
    // access). Logged too, so that the explanation reaches a log read later.
    QString explanation(bool screenRecording);

    // The process-wide flags. The first read asks the probe registered below (false without
    // one); afterwards they hold the latest probe's results. Readable from any thread.
    static bool cachedAccessibility();
    static bool cachedScreenRecording();
    // The probe the flags' first read asks; set once by the composition.
    static void setProbeForFirstRead(PermissionProbe* probe);
    // Forgets the flags and the probe, for test fixtures.
    static void resetCachedFlags();

Q_SIGNALS:
    void accessibilityGrantedChanged(bool granted);
    void screenRecordingGrantedChanged(bool granted);
    void screenRecordingRequestedChanged(bool requested);
    // A probe has finished, whether or not it found a change.
    void checked();

private:
    void startCheck();
    void setAccessibilityGranted(bool granted);
    void setScreenRecordingGranted(bool granted);
    void setScreenRecordingRequested(bool requested);

    PermissionProbe& m_probe;
    Scheduler& m_scheduler;
    Executor& m_detached;
    SystemShell& m_shell;

    bool m_accessibilityGranted;
    bool m_screenRecordingGranted;
    bool m_screenRecordingRequested = false;
    bool m_checking = false;
    TimerHandle m_timer;
    // When probes first found window access missing while it still reads as granted.
    std::optional<Instant> m_accessibilityMissingSince;
};

} // namespace corvane
