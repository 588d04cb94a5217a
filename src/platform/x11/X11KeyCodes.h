#pragma once

#include <QtGlobal>

#include <optional>
#include <string_view>
#include <vector>

namespace corvane::X11KeyCodes {

// The one table between the stored virtual key codes and the keys of an X keyboard. Both name a
// position on the keyboard, not a character, so the table goes through the XKB names of the
// positions ("AC01" is where a US keyboard has A, "LEFT" the left arrow): the live keymap turns
// a name into the server's key code, whatever layout is active. Command is the Super key,
// option is Alt. The function key does not reach X and has no entry.

// The XKB names of the key with that virtual key code, preferred first; empty for a code that no
// X key stands for.
std::vector<std::string_view> keyNames(qint64 keyCode);
// The virtual key code of the key with that XKB name; none for keys the stored form cannot name.
std::optional<qint64> keyCode(std::string_view keyName);

} // namespace corvane::X11KeyCodes
