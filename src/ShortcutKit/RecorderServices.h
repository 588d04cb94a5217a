#pragma once

namespace corvane {
class ApplicationHost;
class NotificationCenter;
} // namespace corvane

namespace corvane::ShortcutKit {

class Registry;
class RecorderAlerts;
class ShortcutConflicts;

// What a recorder works with: the named shortcuts it reads and writes (and whose hot keys it
// pauses while it records), the notifications it posts and follows, the beep, the alerts and
// the conflict checks. All must outlive the recorder.
struct RecorderServices {
    Registry& shortcuts;
    NotificationCenter& notifications;
    ApplicationHost& host;
    RecorderAlerts& alerts;
    const ShortcutConflicts& conflicts;

    // The application's own: its shortcuts and notifications, message boxes and the desktop's
    // conflict checks.
    static RecorderServices standard(Registry& shortcuts, NotificationCenter& notifications,
                                     ApplicationHost& host);
};

} // namespace corvane::ShortcutKit
