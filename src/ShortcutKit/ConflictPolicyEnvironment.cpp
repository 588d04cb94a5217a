#include "ShortcutKit/ConflictPolicyEnvironment.h"

#include <QVariant>
#include <QWidget>

namespace corvane::ShortcutKit {

namespace {
// Kept on the widget as a dynamic property: two bits per behaviour.
constexpr const char* propertyName = "corvane_shortcutKitConflictPolicy";

int encode(const ConflictPolicy& policy) {
    return static_cast<int>(policy.menuItem) | static_cast<int>(policy.systemShortcut) << 2 |
           static_cast<int>(policy.disallowed) << 4;
}

ConflictBehavior behavior(int bits) {
    switch (bits & 0x3) {
    case 0:
        return ConflictBehavior::block;
    case 1:
        return ConflictBehavior::warn;
    default:
        return ConflictBehavior::allow;
    }
}

ConflictPolicy decode(int value) {
    return {behavior(value), behavior(value >> 2), behavior(value >> 4)};
}
} // namespace

void setShortcutKitConflictPolicy(QWidget& subtree, const ConflictPolicy& policy) {
    subtree.setProperty(propertyName, encode(policy));
}

ConflictPolicy shortcutKitConflictPolicy(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant value = widget->property(propertyName);
        if (value.isValid())
            return decode(value.toInt());
    }
    return ConflictPolicy::defaultPolicy();
}

} // namespace corvane::ShortcutKit
