#include "ShortcutKit/AppShortcuts.h"

#include "ShortcutKit/Key.h"
#include "ShortcutKit/Registry.h"

namespace corvane {

namespace AppShortcuts {

namespace {
using ShortcutKit::Key;
using ShortcutKit::ModifierFlags;
using ShortcutKit::Name;
using ShortcutKit::Shortcut;

constexpr quint64 optionShift = ModifierFlags::option | ModifierFlags::shift;
constexpr quint64 controlOption = ModifierFlags::control | ModifierFlags::option;

Name name(const char* raw, Key key, quint64 modifiers) {
    return Name(QString::fromLatin1(raw), Shortcut(key, ModifierFlags(modifiers)));
}
} // namespace

// clang-format off
const Name& toggleSidebar()    { static const Name n = name("toggleSidebar", Key::s, optionShift); return n; }
const Name& saveWorkspace()    { static const Name n = name("saveWorkspace", Key::w, optionShift); return n; }
const Name& windowSwitcher()   { static const Name n = name("windowSwitcher", Key::tab, ModifierFlags::option); return n; }
const Name& clipboardHistory() { static const Name n = name("clipboardHistory", Key::v, optionShift); return n; }
const Name& snapLeft()         { static const Name n = name("snapLeft", Key::leftArrow, controlOption); return n; }
const Name& snapRight()        { static const Name n = name("snapRight", Key::rightArrow, controlOption); return n; }
const Name& snapTop()          { static const Name n = name("snapTop", Key::upArrow, controlOption); return n; }
const Name& snapBottom()       { static const Name n = name("snapBottom", Key::downArrow, controlOption); return n; }
const Name& snapMaximize()     { static const Name n = name("snapMaximize", Key::returnKey, controlOption); return n; }
const Name& snapCenter()       { static const Name n = name("snapCenter", Key::c, controlOption); return n; }
const Name& snapRestore()      { static const Name n = name("snapRestore", Key::deleteKey, controlOption); return n; }
const Name& applyLayout()      { static const Name n = name("applyLayout", Key::l, controlOption); return n; }
// clang-format on

const std::array<Name, 9>& restoreWorkspaceNames() {
    static const std::array<Name, 9> names = [] {
        const Key digits[] = {Key::one, Key::two,   Key::three, Key::four, Key::five,
                              Key::six, Key::seven, Key::eight, Key::nine};
        std::array<Name, 9> made;
        for (std::size_t i = 0; i < made.size(); ++i)
            made[i] = Name(QStringLiteral("restoreWorkspace%1").arg(i + 1),
                           Shortcut(digits[i], ModifierFlags(ModifierFlags::option)));
        return made;
    }();
    return names;
}

const std::vector<SnapActionEntry>& snapActionEntries() {
    static const std::vector<SnapActionEntry> entries{
        {snapLeft(), QStringLiteral("Left half (repeat: \u2154 \u2192 \u2153)")},
        {snapRight(), QStringLiteral("Right half (repeat: \u2154 \u2192 \u2153)")},
        {snapTop(), QStringLiteral("Top half")},
        {snapBottom(), QStringLiteral("Bottom half")},
        {snapMaximize(), QStringLiteral("Maximize")},
        {snapCenter(), QStringLiteral("Center")},
        {snapRestore(), QStringLiteral("Restore previous size")},
        {applyLayout(), QStringLiteral("Tile visible windows")},
    };
    return entries;
}

const std::vector<Name>& allNames() {
    static const std::vector<Name> names = [] {
        std::vector<Name> all{toggleSidebar(), saveWorkspace(), windowSwitcher(), clipboardHistory()};
        for (const SnapActionEntry& entry : snapActionEntries())
            all.push_back(entry.name);
        for (const Name& slot : restoreWorkspaceNames())
            all.push_back(slot);
        return all;
    }();
    return names;
}

} // namespace AppShortcuts

std::optional<QString> workspaceShortcutText(ShortcutKit::Registry& shortcuts, int slot) {
    if (slot < 1 || slot > static_cast<int>(AppShortcuts::restoreWorkspaceNames().size()))
        return std::nullopt;
    const ShortcutKit::Name& name = AppShortcuts::restoreWorkspaceNames()[static_cast<std::size_t>(slot - 1)];
    // Reading a name uses it: its default is seeded the first time, as at the bindings.
    shortcuts.seed(name);
    const std::optional<ShortcutKit::Shortcut> shortcut = shortcuts.getShortcut(name);
    // A shortcut the desktop refused is still the one bound; the hotkeys page marks the refusal.
    if (!shortcut)
        return std::nullopt;
    return shortcut->description(shortcuts.keyboard());
}

QString clipboardShortcutText(ShortcutKit::Registry& shortcuts) {
    const ShortcutKit::Name& name = AppShortcuts::clipboardHistory();
    // With none stored, the default is named: it is what a reset brings back.
    const std::optional<ShortcutKit::Shortcut> shortcut = shortcuts.getShortcut(name);
    return (shortcut ? *shortcut : *name.initialShortcut).description(shortcuts.keyboard());
}

} // namespace corvane
