#include "ShortcutKit/Registry.h"

#include "ShortcutKit/HotKey.h"
#include "ShortcutKit/HotKeyCenter.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "runtime/Log.h"

namespace corvane::ShortcutKit {

namespace {
template <typename Table, typename Key> bool hasEntry(const Table& table, const Key& key) {
    const auto found = table.find(key);
    return found != table.end() && !found->second.empty();
}
} // namespace

Registry::Registry(UserDefaults& defaults, HotKeys& hotKeys, Keyboard& keyboard,
                   NotificationCenter& notifications, Scheduler& scheduler)
    : m_store(defaults), m_keyboard(keyboard), m_notifications(notifications), m_scheduler(scheduler),
      m_center(std::make_unique<HotKeyCenter>(hotKeys, keyboard)),
      m_conflicts(std::make_unique<DesktopShortcutConflicts>(*m_center, keyboard)) {}

const ShortcutConflicts& Registry::conflicts() const {
    return *m_conflicts;
}

void Registry::setMenuItems(std::vector<MenuKeyEquivalent> items) {
    m_conflicts->setMenuItems(std::move(items));
}

Registry::~Registry() {
    // Every hot key gives its combination back while the centre is still there.
    m_registeredHotKeys.clear();
}

void Registry::onKeyDown(const Name& name, Action action) {
    m_keyDownHandlers[name].push_back(std::move(action));
    registerShortcutIfNeeded(name);
}

void Registry::onKeyUp(const Name& name, Action action) {
    m_keyUpHandlers[name].push_back(std::move(action));
    registerShortcutIfNeeded(name);
}

bool Registry::hasNameEntries(const Name& name) const {
    return hasEntry(m_keyDownHandlers, name) || hasEntry(m_keyUpHandlers, name) ||
           hasEntry(m_keyDownNameStreams, name) || hasEntry(m_keyUpNameStreams, name);
}

bool Registry::hasHandlers(const Name& name) const {
    return !isDisabled(name) && hasNameEntries(name);
}

std::set<Name> Registry::namesWithHandlers() const {
    std::set<Name> names;
    for (const auto& [name, actions] : m_keyDownHandlers)
        names.insert(name);
    for (const auto& [name, actions] : m_keyUpHandlers)
        names.insert(name);
    for (const auto& [name, streams] : m_keyDownNameStreams)
        names.insert(name);
    for (const auto& [name, streams] : m_keyUpNameStreams)
        names.insert(name);
    return names;
}

void Registry::registerShortcutIfNeeded(const Name& name) {
    if (!hasHandlers(name))
        return;
    if (const std::optional<Shortcut> shortcut = getShortcut(name))
        registerHotKey(*shortcut);
}

void Registry::registerHotKey(const Shortcut& shortcut) {
    // One hot key per distinct shortcut, however many names share it.
    if (isRegistered(shortcut))
        return;
    auto hotKey = std::make_shared<HotKey>(
        *m_center, shortcut.carbonKeyCode, shortcut.carbonModifiers,
        [this, shortcut] { handleEvent(EventType::keyDown, shortcut); },
        [this, shortcut] { handleEvent(EventType::keyUp, shortcut); });
    for (const Name& name : m_holdingNames)
        if (getShortcut(name) == shortcut)
            hotKey->holdsKeyboard = true;
    // Refused: the shortcut stays without hot key until a later registration succeeds.
    if (!m_center->registerHotKey(*hotKey)) {
        noteRefusal(shortcut, m_center->lastRefusal());
        return;
    }
    std::weak_ptr<HotKey> weak = hotKey;
    hotKey->onRegistrationFailed = [this, weak, shortcut] {
        const std::shared_ptr<HotKey> failed = weak.lock();
        if (!failed)
            return;
        const auto found = m_registeredHotKeys.find(shortcut);
        if (found != m_registeredHotKeys.end() && found->second == failed)
            m_registeredHotKeys.erase(found);
        noteRefusal(shortcut, m_center->lastRefusal());
    };
    m_registeredHotKeys.emplace(shortcut, std::move(hotKey));
    forgetRefusal(shortcut);
}

void Registry::noteRefusal(const Shortcut& shortcut, HotKeys::Refusal refusal) {
    const QString text = shortcut.description(m_keyboard);
    switch (refusal) {
    case HotKeys::Refusal::heldByAnotherProgram:
        qCWarning(lcApp, "Hot key %s is held by another program", qUtf8Printable(text));
        break;
    case HotKeys::Refusal::heldByOwnKeyTap:
        qCWarning(lcApp, "Hot key %s is held by Corvane's volume and brightness display",
                  qUtf8Printable(text));
        break;
    case HotKeys::Refusal::notOnThisKeyboard:
        qCWarning(lcApp, "Hot key %s has no key on this keyboard", qUtf8Printable(text));
        break;
    case HotKeys::Refusal::failed:
        qCWarning(lcApp, "Hot key %s could not be registered", qUtf8Printable(text));
        break;
    }
    m_refusals[shortcut] = refusal;
    Q_EMIT registrationsChanged();
}

void Registry::forgetRefusal(const Shortcut& shortcut) {
    if (m_refusals.erase(shortcut))
        Q_EMIT registrationsChanged();
}

std::optional<HotKeys::Refusal> Registry::refusal(const Name& name) const {
    if (!hasHandlers(name))
        return std::nullopt;
    const std::optional<Shortcut> shortcut = getShortcut(name);
    if (!shortcut || isRegistered(*shortcut))
        return std::nullopt;
    const auto found = m_refusals.find(*shortcut);
    return found == m_refusals.end() ? std::nullopt : std::optional(found->second);
}

void Registry::releaseHotKeyIfUnused(const Shortcut& shortcut, const std::optional<Name>& excluded) {
    if (isShortcutInUse(shortcut, excluded))
        return;
    m_registeredHotKeys.erase(shortcut);
    forgetRefusal(shortcut);
}

bool Registry::isShortcutInUse(const Shortcut& shortcut, const std::optional<Name>& excluded) const {
    for (const Name& name : namesWithHandlers()) {
        if (excluded && name == *excluded)
            continue;
        if (!hasHandlers(name))
            continue;
        if (getShortcut(name) == shortcut)
            return true;
    }
    return hasEntry(m_keyDownShortcutStreams, shortcut) || hasEntry(m_keyUpShortcutStreams, shortcut);
}

void Registry::handleEvent(EventType type, Shortcut shortcut) {
    if (m_isPaused)
        return;
    const bool down = type == EventType::keyDown;
    const auto& actions = down ? m_keyDownHandlers : m_keyUpHandlers;
    const auto& nameStreams = down ? m_keyDownNameStreams : m_keyUpNameStreams;
    const auto& shortcutTable = down ? m_keyDownShortcutStreams : m_keyUpShortcutStreams;

    // The store is read at the press: every name that holds this shortcut now takes part.
    auto matches = [&](const Name& name) { return !isDisabled(name) && getShortcut(name) == shortcut; };
    // Actions that bind or unbind change only later presses: what runs is gathered first, from the
    // tables as they are now.
    std::vector<Action> run;
    for (const auto& [name, list] : actions)
        if (matches(name))
            run.insert(run.end(), list.begin(), list.end());
    for (const auto& [name, streams] : nameStreams)
        if (matches(name))
            for (const auto& [id, yield] : streams)
                run.push_back(yield);
    if (const auto entry = shortcutTable.find(shortcut); entry != shortcutTable.end())
        for (const auto& [id, yield] : entry->second)
            run.push_back(yield);
    for (const Action& action : run)
        action();
}

void Registry::removeHandler(const Name& name) {
    m_keyDownHandlers.erase(name);
    m_keyUpHandlers.erase(name);
    if (!isDisabled(name) && (hasEntry(m_keyDownNameStreams, name) || hasEntry(m_keyUpNameStreams, name)))
        return;
    if (const std::optional<Shortcut> shortcut = getShortcut(name))
        releaseHotKeyIfUnused(*shortcut, name);
}

void Registry::removeAllHandlers() {
    std::set<Shortcut> shortcuts;
    for (const auto* table : {&m_keyDownHandlers, &m_keyUpHandlers})
        for (const auto& [name, actions] : *table)
            if (const std::optional<Shortcut> shortcut = getShortcut(name))
                shortcuts.insert(*shortcut);
    m_keyDownHandlers.clear();
    m_keyUpHandlers.clear();
    // Streams keep the hot keys they use.
    for (const Shortcut& shortcut : shortcuts)
        releaseHotKeyIfUnused(shortcut);
}

void Registry::disable(const std::vector<Name>& names) {
    for (const Name& name : names) {
        m_disabledNames.insert(name);
        if (const std::optional<Shortcut> shortcut = getShortcut(name))
            releaseHotKeyIfUnused(*shortcut, name);
    }
}

void Registry::enable(const std::vector<Name>& names) {
    for (const Name& name : names) {
        m_disabledNames.erase(name);
        registerShortcutIfNeeded(name);
    }
}

void Registry::setEnabled(bool enabled) {
    if (enabled == m_isEnabled)
        return;
    m_isEnabled = enabled;
    updateCenterEnabled();
}

void Registry::setPaused(bool paused) {
    if (paused == m_isPaused)
        return;
    m_isPaused = paused;
    updateCenterEnabled();
}

void Registry::updateCenterEnabled() {
    const bool enabled = m_isEnabled && !m_isPaused;
    if (enabled == m_center->isEnabled())
        return;
    m_center->setEnabled(enabled);
    m_center->updateMode();
}

bool Registry::isNameActive(const Name& name) const {
    if (!m_isEnabled || !hasHandlers(name))
        return false;
    const std::optional<Shortcut> shortcut = getShortcut(name);
    return shortcut && isRegistered(*shortcut);
}

} // namespace corvane::ShortcutKit
