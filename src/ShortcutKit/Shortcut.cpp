#include "ShortcutKit/Shortcut.h"

#include "ShortcutKit/HotKeyCenter.h"
#include "ShortcutKit/KeySequence.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "ShortcutKit/SpecialKey.h"
#include "core/ShortcutText.h"
#include "platform/Keyboard.h"

#include <QKeyEvent>
#include <QTextBoundaryFinder>

#include <nlohmann/json.hpp>

namespace corvane::ShortcutKit {

namespace {
constexpr const char* keyCodeMember = "carbonKeyCode";
constexpr const char* modifiersMember = "carbonModifiers";
constexpr qint64 largestKeyCode = 0xFFFF;
constexpr qint64 largestModifiers = 0xFFFFFFFF;

int graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

// An integer member in [0, largest]; none for another kind, a missing member or a number out of range.
std::optional<qint64> member(const nlohmann::json& object, const char* name, qint64 largest) {
    const auto found = object.find(name);
    if (found == object.end())
        return std::nullopt;
    if (found->is_number_unsigned()) {
        const auto value = found->get<std::uint64_t>();
        if (value > static_cast<std::uint64_t>(largest))
            return std::nullopt;
        return static_cast<qint64>(value);
    }
    if (found->is_number_integer()) {
        const auto value = found->get<std::int64_t>();
        if (value < 0 || value > largest)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}
} // namespace

Shortcut::Shortcut(Key key, ModifierFlags modifiers)
    : carbonKeyCode(key.rawValue), carbonModifiers(ModifierFlags::fromCarbon(modifiers.carbon()).carbon()) {}

Shortcut Shortcut::fromCarbon(qint64 keyCode, qint64 modifiers) {
    return Shortcut(Key(keyCode), ModifierFlags::fromCarbon(modifiers));
}

std::optional<Shortcut> Shortcut::fromKeyEvent(const QKeyEvent& event, const Keyboard& keyboard) {
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease)
        return std::nullopt;
    const std::optional<qint64> keyCode = keyboard.keyCode(event.nativeScanCode());
    if (!keyCode)
        return std::nullopt;
    ModifierFlags flags = ModifierFlags::fromQt(event.modifiers());
    flags.rawValue &= ~ModifierFlags::function;
    return Shortcut(Key(*keyCode), flags);
}

std::optional<QString> Shortcut::keyToCharacter(qint64 keyCode, const Keyboard& keyboard) {
    if (SpecialKey::byKeyCode(keyCode))
        return std::nullopt;
    if (keyCode < 0 || keyCode > largestKeyCode)
        return std::nullopt;
    const std::optional<QString> text = keyboard.keyText(keyCode);
    if (!text || graphemeCount(*text) != 1)
        return std::nullopt;
    return text;
}

QString Shortcut::description(const Keyboard& keyboard) const {
    // The function modifier has no Qt counterpart and leads on its own.
    const QString function =
        modifiers().contains(ModifierFlags::function) ? QStringLiteral("Fn+") : QString();
    if (const std::optional<QKeyCombination> combination = keyCombination(*this, keyboard))
        return function + shortcutText(*combination);
    // A character Qt has no key for: shown as the layout prints it, capitalised.
    QString keyText = keyToCharacter(carbonKeyCode, keyboard).value_or(QStringLiteral("\uFFFD"));
    // Title case keeps a letter like "ß" one character.
    const QList<uint> codePoints = keyText.toUcs4();
    keyText.clear();
    for (uint codePoint : codePoints) {
        const char32_t title = QChar::toTitleCase(static_cast<char32_t>(codePoint));
        keyText += QString::fromUcs4(&title, 1);
    }
    return modifiers().presentableDescription() + keyText;
}

std::string Shortcut::jsonText() const {
    nlohmann::ordered_json object;
    object[keyCodeMember] = carbonKeyCode;
    object[modifiersMember] = carbonModifiers;
    return object.dump();
}

std::optional<Shortcut> Shortcut::fromJsonText(std::string_view text) {
    const nlohmann::json parsed = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!parsed.is_object())
        return std::nullopt;
    const auto keyCode = member(parsed, keyCodeMember, largestKeyCode);
    const auto modifiers = member(parsed, modifiersMember, largestModifiers);
    if (!keyCode || !modifiers)
        return std::nullopt;
    Shortcut shortcut;
    shortcut.carbonKeyCode = *keyCode;
    shortcut.carbonModifiers = *modifiers;
    return shortcut;
}

bool Shortcut::isTakenBySystem(const HotKeyCenter& center) const {
    // F12 alone is never reported as taken.
    if (carbonKeyCode == Key::f12.rawValue && carbonModifiers == 0)
        return false;
    return center.isTakenBySystem(carbonKeyCode, carbonModifiers);
}

std::optional<QString> Shortcut::takenByMainMenu(const std::vector<MenuKeyEquivalent>& menu,
                                                 const Keyboard& keyboard) const {
    // A menu item's keys carry no function modifier, and Qt's sequence has none to compare.
    if ((carbonModifiers & CarbonModifiers::function) != 0)
        return std::nullopt;
    const std::optional<QKeySequence> keys = keySequence(*this, keyboard);
    if (!keys)
        return std::nullopt;
    for (const MenuKeyEquivalent& item : menu) {
        if (item.keys == *keys)
            return item.title;
    }
    return std::nullopt;
}

} // namespace corvane::ShortcutKit
