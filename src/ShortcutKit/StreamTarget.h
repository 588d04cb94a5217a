#pragma once

#include "ShortcutKit/Name.h"
#include "ShortcutKit/Shortcut.h"

#include <variant>

namespace corvane::ShortcutKit {

// What a stream listens to: a named shortcut (whatever it is stored as at each press) or a bare
// key combination.
using StreamTarget = std::variant<Name, Shortcut>;

} // namespace corvane::ShortcutKit
