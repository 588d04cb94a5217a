#pragma once

#include <QKeySequence>
#include <QString>

#include <optional>
#include <vector>

namespace corvane {
class Keyboard;
}

namespace corvane::ShortcutKit {

class HotKeyCenter;
struct Shortcut;

// A menu item whose keys act wherever the application has the keyboard: the keys it shows and
// its title.
struct MenuKeyEquivalent {
    QKeySequence keys;
    QString title;
};

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

// The desktop's answers for the application: its menu items are the ones the application hands
// in (it lives in the tray and has no menu bar; the tray menu's keys act application-wide), a
// combination the desktop refuses to the hot-key centre is the system's own, and a combination
// of a key the application's own key taps hold with any modifiers (the volume display's keys) is
// forbidden: the desktop cannot give it to a hot key, whatever the user answers.
class DesktopShortcutConflicts final : public ShortcutConflicts {
public:
    DesktopShortcutConflicts(const HotKeyCenter& center, const Keyboard& keyboard)
        : m_center(center), m_keyboard(keyboard) {}

    // None until set: no item then uses any combination.
    void setMenuItems(std::vector<MenuKeyEquivalent> items) { m_menuItems = std::move(items); }

    std::optional<QString> menuItemUsing(const Shortcut& shortcut) const override;
    bool isTakenBySystem(const Shortcut& shortcut) const override;
    bool isDisallowed(const Shortcut& shortcut) const override;

private:
    const HotKeyCenter& m_center;
    const Keyboard& m_keyboard;
    std::vector<MenuKeyEquivalent> m_menuItems;
};

} // namespace corvane::ShortcutKit
