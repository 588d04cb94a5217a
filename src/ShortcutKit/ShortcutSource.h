#pragma once

#include "ShortcutKit/Name.h"
#include "ShortcutKit/Shortcut.h"

#include <functional>
#include <optional>
#include <variant>

namespace corvane::ShortcutKit {

// A shortcut its owner keeps: how to read it and how to write it.
struct ShortcutBinding {
    std::function<std::optional<Shortcut>()> get;
    std::function<void(const std::optional<Shortcut>&)> set;
};

// Where a recorder's shortcut lives: in the store under a name, or in the owner's binding.
using ShortcutSource = std::variant<Name, ShortcutBinding>;

} // namespace corvane::ShortcutKit
