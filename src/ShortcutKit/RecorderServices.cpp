#include "ShortcutKit/RecorderServices.h"

#include "ShortcutKit/RecorderAlerts.h"
#include "ShortcutKit/Registry.h"

namespace corvane::ShortcutKit {

RecorderServices RecorderServices::standard(Registry& shortcuts, NotificationCenter& notifications,
                                            ApplicationHost& host) {
    return {shortcuts, notifications, host, RecorderAlerts::standard(), shortcuts.conflicts()};
}

} // namespace corvane::ShortcutKit
