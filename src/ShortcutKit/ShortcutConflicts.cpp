#include "ShortcutKit/ShortcutConflicts.h"

#include "ShortcutKit/Shortcut.h"

namespace corvane::ShortcutKit {

namespace {
class DesktopShortcutConflicts final : public ShortcutConflicts {
public:
    std::optional<QString> menuItemUsing(const Shortcut& shortcut) const override {
        (void)shortcut;
        return std::nullopt;
    }
    bool isTakenBySystem(const Shortcut& shortcut) const override { return shortcut.isTakenBySystem(); }
    bool isDisallowed(const Shortcut& shortcut) const override {
        (void)shortcut;
        return false;
    }
};
} // namespace

const ShortcutConflicts& ShortcutConflicts::standard() {
    static const DesktopShortcutConflicts conflicts;
    return conflicts;
}

} // namespace corvane::ShortcutKit
