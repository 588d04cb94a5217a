#pragma once

#include <QString>

#include <optional>

namespace corvane::ShortcutKit {

class HotKeyCenter;
struct Shortcut;

// What a recorded combination may collide with before a recorder takes it.
class ShortcutConflicts {
public:
    virtual ~ShortcutConflicts() = default;

    // The text of the application's menu item whose shortcut the combination is; none when no
    // item uses it.
    virtual std::optional<QString> menuItemUsing(const Shortcut& shortcut) const = 0;
    // Whether the desktop itself uses the combination.
    virtual bool isTakenBySystem(const Shortcut& shortcut) const = 0;
    // Whether the desktop forbids the combination to this program.
    virtual bool isDisallowed(const Shortcut& shortcut) const = 0;
};

// The desktop's answers for the application: it has no main menu (it lives in the tray), a
// combination the desktop refuses to the hot-key centre is the system's own, and nothing is
// forbidden.
class DesktopShortcutConflicts final : public ShortcutConflicts {
public:
    explicit DesktopShortcutConflicts(const HotKeyCenter& center) : m_center(center) {}

    std::optional<QString> menuItemUsing(const Shortcut& shortcut) const override;
    bool isTakenBySystem(const Shortcut& shortcut) const override;
    bool isDisallowed(const Shortcut& shortcut) const override;

private:
    const HotKeyCenter& m_center;
};

} // namespace corvane::ShortcutKit
