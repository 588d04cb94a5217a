#include "app/Hotkeys.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Registry.h"
#include "app/AppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/Settings.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SwitcherController.h"
#include "snapping/SnapAction.h"
#include "snapping/SnapController.h"

namespace corvane {

namespace {
void toggleClipboardHistory(AppState& state) {
    // Ignored while clipboard history is off; a press while the strip shows hides it.
    if (!state.settings().clipboardEnabled())
        return;
    state.clipboardPanel().statusClicked();
}
} // namespace

std::optional<QString> refusedHotkeysNotice(const ShortcutKit::Registry& shortcuts) {
    std::vector<ShortcutKit::Shortcut> refused;
    for (const ShortcutKit::Name& name : AppShortcuts::allNames()) {
        const std::optional<ShortcutKit::Shortcut> shortcut = shortcuts.getShortcut(name);
        if (shortcut && shortcuts.refusal(name))
            refused.push_back(*shortcut);
    }
    if (refused.empty())
        return std::nullopt;
    if (refused.size() == 1)
        return refused.front().description(shortcuts.keyboard()) +
               QStringLiteral(" does nothing here: change it on the Hotkeys page of Settings");
    return QStringLiteral("%1 shortcuts do nothing here: change them on the Hotkeys page of Settings")
        .arg(refused.size());
}

void registerHotkeys(AppState& state) {
    using namespace AppShortcuts;
    ShortcutKit::Registry& shortcuts = state.shortcuts();
    for (const ShortcutKit::Name& name : allNames())
        shortcuts.seed(name);

    // The asynchronous actions only start their task here; presses in quick succession may
    // overlap, and each awaits its own call.
    shortcuts.onKeyDown(toggleSidebar(), [&state] { state.sidebar().toggle(); });
    shortcuts.onKeyDown(saveWorkspace(), [&state] { state.saveCurrentWindows(); });
    shortcuts.onKeyDown(windowSwitcher(), [&state] { state.switcher().advance(); });
    // What is typed right after the strip's hot key is the strip's, however late the press is read.
    shortcuts.holdKeyboardOnPress(clipboardHistory());
    shortcuts.onKeyDown(clipboardHistory(), [&state] { toggleClipboardHistory(state); });

    const std::pair<const ShortcutKit::Name&, SnapAction> snaps[] = {
        {snapLeft(), SnapAction::leftHalf},     {snapRight(), SnapAction::rightHalf},
        {snapTop(), SnapAction::topHalf},       {snapBottom(), SnapAction::bottomHalf},
        {snapMaximize(), SnapAction::maximize}, {snapCenter(), SnapAction::center},
    };
    for (const auto& [name, action] : snaps)
        shortcuts.onKeyDown(name, [&state, action = action] { state.snap().snap(action); });
    shortcuts.onKeyDown(snapRestore(), [&state] { state.snap().restore(); });
    // The preset is read at the press, not when the binding is made.
    shortcuts.onKeyDown(applyLayout(),
                        [&state] { state.snap().tileScreen(state.settings().quickTilePreset()); });

    for (std::size_t i = 0; i < restoreWorkspaceNames().size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        shortcuts.onKeyDown(restoreWorkspaceNames()[i], [&state, slot] { state.restoreSlot(slot); });
    }
}

} // namespace corvane
