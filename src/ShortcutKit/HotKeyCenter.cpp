#include "ShortcutKit/HotKeyCenter.h"

#include "ShortcutKit/HotKey.h"
#include "ShortcutKit/Key.h"
#include "ShortcutKit/LocalEventMonitor.h"
#include "ShortcutKit/ModifierFlags.h"
#include "platform/Keyboard.h"

#include <QKeyEvent>
#include <QMenu>

namespace corvane::ShortcutKit {

namespace {
// Only the five modifiers count, and the function modifier not at all for keys that carry it
// implicitly. The desktop is handed combinations in this form too.
qint64 normalizedModifiers(qint64 keyCode, qint64 modifiers) {
    qint64 bits = ModifierFlags::fromCarbon(modifiers).carbon();
    if (Key::isFunctionFlagKey(keyCode))
        bits &= ~CarbonModifiers::function;
    return bits;
}
} // namespace

HotKeyCenter::HotKeyCenter(HotKeys& system, const Keyboard& keyboard)
    : m_system(system), m_keyboard(keyboard) {
    connect(&m_system, &HotKeys::pressed, this,
            [this](HotKeys::Id id) { handleHotKey(id, EventType::keyDown); });
    connect(&m_system, &HotKeys::released, this,
            [this](HotKeys::Id id) { handleHotKey(id, EventType::keyUp); });
    m_menuMonitor = std::make_unique<LocalEventMonitor>(
        std::set<QEvent::Type>{QEvent::Show, QEvent::Hide},
        [this](QObject* receiver, QEvent* event) { return handleMenuEvent(receiver, event); });
    m_menuMonitor->start();
    m_keyMonitor = std::make_unique<LocalEventMonitor>(
        std::set<QEvent::Type>{QEvent::KeyPress, QEvent::KeyRelease},
        [this](QObject* receiver, QEvent* event) { return handleMonitoredKeyEvent(receiver, event); });
}

HotKeyCenter::~HotKeyCenter() {
    // The registry lets its hot keys go first; any left over must not call back into us.
    for (auto& [id, hotKey] : m_hotKeys) {
        if (hotKey->registration)
            m_system.unregisterHotKey(*hotKey->registration);
        hotKey->registration.reset();
    }
}

bool HotKeyCenter::isTakenBySystem(qint64 keyCode, qint64 carbonModifiers) const {
    return m_system.isHeldElsewhere(keyCode, normalizedModifiers(keyCode, carbonModifiers));
}

bool HotKeyCenter::isHeldByOwnKeyTap(qint64 keyCode, qint64 carbonModifiers) const {
    return m_system.isHeldByOwnKeyTap(keyCode, normalizedModifiers(keyCode, carbonModifiers));
}

bool HotKeyCenter::registerHotKey(HotKey& hotKey) {
    const std::optional<HotKeys::Id> registration = m_system.registerHotKey(
        hotKey.carbonKeyCode, normalizedModifiers(hotKey.carbonKeyCode, hotKey.carbonModifiers));
    if (!registration)
        return false;
    if (hotKey.holdsKeyboard)
        m_system.setHoldsKeyboard(*registration, true);
    hotKey.registration = registration;
    m_hotKeys[hotKey.id] = &hotKey;
    if (m_mode != Mode::normal) {
        // Accepted, but not wanted yet: it is taken again when the mode becomes normal.
        m_system.unregisterHotKey(*registration);
        hotKey.registration.reset();
    }
    return true;
}

void HotKeyCenter::forget(HotKey& hotKey) {
    if (hotKey.registration)
        m_system.unregisterHotKey(*hotKey.registration);
    hotKey.registration.reset();
    const auto found = m_hotKeys.find(hotKey.id);
    if (found != m_hotKeys.end() && found->second == &hotKey)
        m_hotKeys.erase(found);
}

HotKey* HotKeyCenter::find(int id) const {
    const auto found = m_hotKeys.find(id);
    return found == m_hotKeys.end() ? nullptr : found->second;
}

void HotKeyCenter::updateMode() {
    const Mode mode = !m_isEnabled ? Mode::disabled : m_isMenuOpen ? Mode::menuOpen : Mode::normal;
    if (mode == m_mode)
        return;
    m_mode = mode;
    if (mode == Mode::normal)
        registerAllHotKeys();
    else
        unregisterAllHotKeys();
    m_isHotKeyEventHandlingEnabled = mode == Mode::normal;
    setRawKeyEventHandlingEnabled(mode == Mode::menuOpen);
}

void HotKeyCenter::registerAllHotKeys() {
    std::vector<int> ids;
    for (const auto& [id, hotKey] : m_hotKeys)
        ids.push_back(id);
    for (int id : ids) {
        // A refusal's handler may release other hot keys: look each one up again.
        HotKey* hotKey = find(id);
        if (!hotKey || hotKey->registration)
            continue;
        hotKey->registration = m_system.registerHotKey(
            hotKey->carbonKeyCode, normalizedModifiers(hotKey->carbonKeyCode, hotKey->carbonModifiers));
        if (hotKey->registration) {
            if (hotKey->holdsKeyboard)
                m_system.setHoldsKeyboard(*hotKey->registration, true);
            continue;
        }
        m_hotKeys.erase(id);
        // The handler usually lets the hot key go, so it runs from a copy.
        const HotKey::Action failed = hotKey->onRegistrationFailed;
        if (failed)
            failed();
    }
}

void HotKeyCenter::unregisterAllHotKeys() {
    for (auto& [id, hotKey] : m_hotKeys) {
        if (!hotKey->registration)
            continue;
        m_system.unregisterHotKey(*hotKey->registration);
        hotKey->registration.reset();
    }
}

void HotKeyCenter::handleHotKey(HotKeys::Id registration, EventType kind) {
    if (!m_isHotKeyEventHandlingEnabled)
        return;
    for (const auto& [id, hotKey] : m_hotKeys) {
        if (hotKey->registration != registration)
            continue;
        // The action may change shortcuts and so release this very hot key: run a copy.
        const HotKey::Action action = kind == EventType::keyDown ? hotKey->onKeyDown : hotKey->onKeyUp;
        if (action)
            action();
        return;
    }
}

bool HotKeyCenter::matchKeyEvent(qint64 keyCode, qint64 carbonModifiers, bool isRepeat, EventType kind) {
    if (kind == EventType::keyDown && isRepeat)
        return false;
    const qint64 modifiers = normalizedModifiers(keyCode, carbonModifiers);
    for (const auto& [id, hotKey] : m_hotKeys) {
        if (hotKey->carbonKeyCode != keyCode)
            continue;
        if (normalizedModifiers(hotKey->carbonKeyCode, hotKey->carbonModifiers) != modifiers)
            continue;
        const HotKey::Action action = kind == EventType::keyDown ? hotKey->onKeyDown : hotKey->onKeyUp;
        if (action)
            action();
        return true;
    }
    return false;
}

void HotKeyCenter::setRawKeyEventHandlingEnabled(bool enabled) {
    if (enabled)
        m_keyMonitor->start();
    else
        m_keyMonitor->stop();
}

bool HotKeyCenter::handleMonitoredKeyEvent(QObject* receiver, QEvent* event) {
    // A key event reaches its window first and is then passed on to widgets: take it once.
    if (!receiver->isWindowType())
        return false;
    const auto& keyEvent = static_cast<const QKeyEvent&>(*event);
    const std::optional<qint64> keyCode = m_keyboard.keyCode(keyEvent.nativeScanCode());
    if (!keyCode)
        return false;
    const qint64 modifiers = ModifierFlags::fromQt(keyEvent.modifiers()).carbon();
    matchKeyEvent(*keyCode, modifiers, keyEvent.isAutoRepeat(),
                  event->type() == QEvent::KeyPress ? EventType::keyDown : EventType::keyUp);
    // The menu still gets the key.
    return false;
}

bool HotKeyCenter::handleMenuEvent(QObject* receiver, QEvent* event) {
    if (qobject_cast<QMenu*>(receiver))
        menuVisibilityChanged(receiver, event->type() == QEvent::Show);
    return false;
}

void HotKeyCenter::menuVisibilityChanged(QObject* menu, bool visible) {
    if (visible) {
        if (m_openMenus.insert(menu).second)
            connect(menu, &QObject::destroyed, this, [this, menu] { menuVisibilityChanged(menu, false); });
    } else {
        if (m_openMenus.erase(menu))
            disconnect(menu, &QObject::destroyed, this, nullptr);
    }
    if (!m_openMenus.empty())
        menuDidBeginTracking();
    else
        menuDidEndTracking();
}

void HotKeyCenter::menuDidBeginTracking() {
    if (std::exchange(m_isMenuOpen, true))
        return;
    updateMode();
}

void HotKeyCenter::menuDidEndTracking() {
    if (!std::exchange(m_isMenuOpen, false))
        return;
    updateMode();
}

} // namespace corvane::ShortcutKit
