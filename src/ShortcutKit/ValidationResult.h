#pragma once

#include <QString>

namespace corvane::ShortcutKit {

// The answer of an owner's extra check of a recorded shortcut: allowed, or refused with a reason
// the recorder shows to the user.
struct ValidationResult {
    enum class Kind { disallow, allow };
    Kind kind = Kind::allow;
    QString reason; // shown when the shortcut is refused

    static ValidationResult allow() { return {}; }
    static ValidationResult disallow(QString reason) { return {Kind::disallow, std::move(reason)}; }
    bool isAllowed() const { return kind == Kind::allow; }
    bool operator==(const ValidationResult&) const = default;
};

} // namespace corvane::ShortcutKit
