#pragma once

#include "ShortcutKit/Name.h"
#include "ShortcutKit/Shortcut.h"
#include "platform/UserDefaults.h"

#include <map>
#include <optional>
#include <set>
#include <string>

namespace corvane::ShortcutKit {

// What the store holds for a name.
struct StoredShortcutState {
    enum class Kind {
        shortcut, // JSON text of a shortcut
        disabled, // false: the user removed a shortcut that has a default
        notSet,   // nothing, or anything unreadable
    };
    Kind kind = Kind::notSet;
    Shortcut shortcut; // the stored shortcut when kind is `shortcut`

    std::optional<Shortcut> value() const {
        return kind == Kind::shortcut ? std::optional<Shortcut>(shortcut) : std::nullopt;
    }
};

// The named shortcuts in the user defaults: one key per name, "ShortcutKit_" + its raw value,
// holding the shortcut's JSON text, or false when the user removed a shortcut that has a default.
// Every read goes back to the store, so a value written elsewhere under the same key is seen at
// once; only what a stored text parses to is remembered, since the same text always says the same.
class ShortcutStore {
public:
    explicit ShortcutStore(UserDefaults& defaults) : m_defaults(defaults) {}

    std::optional<Json> storedObject(const Name& name) const { return m_defaults.object(name.defaultsKey()); }
    // False (or a number 0) reads as disabled, readable JSON text as the shortcut; true, another
    // kind or unreadable text as not set.
    StoredShortcutState storedShortcut(const Name& name) const;
    bool holdsDisabledMarker(const Name& name) const;

    void storeText(const Name& name, const std::string& jsonText) {
        m_defaults.set(name.defaultsKey(), jsonText);
    }
    void storeDisabledMarker(const Name& name) { m_defaults.set(name.defaultsKey(), false); }
    void remove(const Name& name) { m_defaults.remove(name.defaultsKey()); }

    // Stores the name's default when the key holds nothing at all; a stored false or any other
    // value stays, so a removed default never comes back at the next launch.
    void storeInitialShortcutIfUnset(const Name& name);

    // A name without default for every stored "ShortcutKit_" key, including names no code of this
    // run created.
    std::set<Name> storedNames() const;

private:
    // The shortcut of a stored text, parsed once: a hot key's press reads every name's text.
    std::optional<Shortcut> parsed(const std::string& jsonText) const;

    UserDefaults& m_defaults;
    mutable std::map<std::string, std::optional<Shortcut>> m_parsed;
};

} // namespace corvane::ShortcutKit
