// The writers of the named shortcuts: each keeps the hot keys in step with what it stores and
// announces the change once the store and the hot keys follow it.
#include "ShortcutKit/Registry.h"

#include "ShortcutKit/ShortcutNotifications.h"
#include "runtime/NotificationCenter.h"

namespace corvane::ShortcutKit {

void Registry::rewrite(const Name& name, const std::function<void()>& write) {
    if (const std::optional<Shortcut> previous = getShortcut(name))
        releaseHotKeyIfUnused(*previous, name);
    write();
    registerShortcutIfNeeded(name);
    postShortcutDidChange(name);
}

void Registry::setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    if (shortcut)
        writeShortcut(*shortcut, name);
    else if (name.initialShortcut)
        writeDisabled(name);
    else
        removeStoredValue(name);
}

void Registry::writeShortcut(const Shortcut& shortcut, const Name& name) {
    const std::string text = shortcut.jsonText();
    rewrite(name, [&] { m_store.storeText(name, text); });
}

void Registry::writeDisabled(const Name& name) {
    if (m_store.holdsDisabledMarker(name))
        return;
    rewrite(name, [&] { m_store.storeDisabledMarker(name); });
}

void Registry::removeStoredValue(const Name& name) {
    if (!m_store.storedObject(name))
        return;
    rewrite(name, [&] { m_store.remove(name); });
}

void Registry::reset(const std::vector<Name>& names) {
    for (const Name& name : names) {
        if (name.initialShortcut) {
            const std::string text = name.initialShortcut->jsonText();
            rewrite(name, [&] { m_store.storeText(name, text); });
        } else if (m_store.storedObject(name)) {
            rewrite(name, [&] { m_store.remove(name); });
        }
    }
}

void Registry::clearAllStoredShortcuts() {
    for (const Name& name : storedNames())
        setShortcut(std::nullopt, name);
}

void Registry::postShortcutDidChange(const Name& name) {
    m_notifications.post(shortcutByNameDidChange, {}, {{QStringLiteral("name"), name.rawValue}});
}

} // namespace corvane::ShortcutKit
