#include "ShortcutKit/ShortcutStore.h"

#include <cstring>

namespace corvane::ShortcutKit {

StoredShortcutState ShortcutStore::storedShortcut(const Name& name) const {
    StoredShortcutState state;
    const std::optional<Json> object = storedObject(name);
    if (!object)
        return state;
    if (holdsDisabledMarker(name)) {
        state.kind = StoredShortcutState::Kind::disabled;
        return state;
    }
    if (!object->is_string())
        return state;
    if (const auto shortcut = parsed(object->get_ref<const std::string&>())) {
        state.kind = StoredShortcutState::Kind::shortcut;
        state.shortcut = *shortcut;
    }
    return state;
}

std::optional<Shortcut> ShortcutStore::parsed(const std::string& jsonText) const {
    if (const auto known = m_parsed.find(jsonText); known != m_parsed.end())
        return known->second;
    // Texts come from the user's own choices; a store edited by hand is kept from growing this
    // without bound.
    constexpr size_t kRemembered = 512;
    if (m_parsed.size() >= kRemembered)
        m_parsed.clear();
    return m_parsed.emplace(jsonText, Shortcut::fromJsonText(jsonText)).first->second;
}

bool ShortcutStore::holdsDisabledMarker(const Name& name) const {
    const std::optional<bool> flag = m_defaults.boolValue(name.defaultsKey());
    return flag.has_value() && !*flag;
}

void ShortcutStore::storeInitialShortcutIfUnset(const Name& name) {
    if (!name.initialShortcut || storedObject(name))
        return;
    storeText(name, name.initialShortcut->jsonText());
}

std::set<Name> ShortcutStore::storedNames() const {
    std::set<Name> names;
    const std::size_t prefixLength = std::strlen(Name::keyPrefix);
    for (const std::string& key : m_defaults.keys())
        if (key.compare(0, prefixLength, Name::keyPrefix) == 0)
            names.insert(Name(QString::fromStdString(key.substr(prefixLength))));
    return names;
}

} // namespace corvane::ShortcutKit
