#pragma once

#include <QKeySequence>

#include <optional>

namespace corvane {
class Keyboard;
}

namespace corvane::ShortcutKit {

struct Shortcut;

// The shortcut as Qt's key sequence of one combination, for actions and buttons of the
// application's own windows: a special key by its Qt key, any other key by the character the
// layout prints on it. None for keys Qt cannot name that way (the keypad, keys the layout prints
// nothing on). The function modifier has no Qt counterpart and is left out.
std::optional<QKeySequence> keySequence(const Shortcut& shortcut, const Keyboard& keyboard);
// The same as one combination, the keypad's keys included (with Qt's keypad modifier).
std::optional<QKeyCombination> keyCombination(const Shortcut& shortcut, const Keyboard& keyboard);

} // namespace corvane::ShortcutKit
