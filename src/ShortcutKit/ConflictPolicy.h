#pragma once

#include <QtGlobal>

#include <cstddef>
#include <functional>

namespace corvane::ShortcutKit {

// What a recorder does when a recorded combination collides with something.
enum class ConflictBehavior {
    block, // explain why and refuse it
    warn,  // explain why and let the user use it anyway
    allow, // take it without a word
};

// How a recorder treats each kind of collision. The default refuses combinations of the
// application's menus and the ones the desktop forbids, and warns about the desktop's own.
struct ConflictPolicy {
    ConflictBehavior menuItem = ConflictBehavior::block;      // a menu item of the application uses it
    ConflictBehavior systemShortcut = ConflictBehavior::warn; // the desktop itself uses it
    ConflictBehavior disallowed = ConflictBehavior::block;    // the desktop forbids it for this program

    bool operator==(const ConflictPolicy&) const = default;

    static constexpr ConflictPolicy defaultPolicy() { return {}; }
    static constexpr ConflictPolicy permissive() {
        return {ConflictBehavior::allow, ConflictBehavior::allow, ConflictBehavior::allow};
    }
};

size_t qHash(const ConflictPolicy& policy, size_t seed = 0) noexcept;

} // namespace corvane::ShortcutKit

template <> struct std::hash<corvane::ShortcutKit::ConflictPolicy> {
    std::size_t operator()(const corvane::ShortcutKit::ConflictPolicy& policy) const noexcept {
        return corvane::ShortcutKit::qHash(policy);
    }
};
