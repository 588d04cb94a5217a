#pragma once

#include "ShortcutKit/Name.h"
#include "runtime/NotificationCenter.h"

#include <QString>

#include <optional>

namespace corvane::ShortcutKit {

// Posted after a name's stored shortcut changed; user info "name" holds the name's raw value.
inline const QString shortcutByNameDidChange = QStringLiteral("ShortcutKit_shortcutByNameDidChange");
// Posted when a recorder starts or stops recording; user info "isActive" holds a bool.
inline const QString recorderActiveStatusDidChange =
    QStringLiteral("ShortcutKit_recorderActiveStatusDidChange");

// The name a change notification is about; none without user info or a name in it.
std::optional<Name> shortcutName(const Notification& notification);
// Whether a recorder notification says recording started; false when it says nothing.
bool recorderIsActive(const Notification& notification);

} // namespace corvane::ShortcutKit
