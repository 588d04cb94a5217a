#pragma once

#include "ShortcutKit/Shortcut.h"

#include <QString>

#include <optional>
#include <string>

namespace corvane::ShortcutKit {

// One user-configurable shortcut. Its key combination is not kept here but in the user defaults
// under "ShortcutKit_" + rawValue. Two names with the same raw value are the same name, whatever
// their defaults.
struct Name {
    QString rawValue;
    std::optional<Shortcut> initialShortcut; // the default, seeded into the store once

    Name() = default;
    explicit Name(QString raw, std::optional<Shortcut> initial = std::nullopt)
        : rawValue(std::move(raw)), initialShortcut(initial) {}

    bool operator==(const Name& other) const { return rawValue == other.rawValue; }
    bool operator<(const Name& other) const { return rawValue < other.rawValue; }

    static constexpr const char* keyPrefix = "ShortcutKit_";
    std::string defaultsKey() const { return keyPrefix + rawValue.toStdString(); }
};

} // namespace corvane::ShortcutKit
