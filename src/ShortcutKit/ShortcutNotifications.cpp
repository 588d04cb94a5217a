#include "ShortcutKit/ShortcutNotifications.h"

namespace corvane::ShortcutKit {

std::optional<Name> shortcutName(const Notification& notification) {
    const QVariant value = notification.userInfo.value(QStringLiteral("name"));
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return Name(value.toString());
}

bool recorderIsActive(const Notification& notification) {
    const QVariant value = notification.userInfo.value(QStringLiteral("isActive"));
    return value.typeId() == QMetaType::Bool && value.toBool();
}

} // namespace corvane::ShortcutKit
