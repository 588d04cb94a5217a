#include "platform/fake/FakeHotKeys.h"

namespace corvane {

std::optional<HotKeys::Id> FakeHotKeys::registerHotKey(qint64 keyCode, qint64 modifiers) {
    const Combination combination{keyCode, modifiers};
    if (m_tappedKeys.count(keyCode)) {
        m_lastRefusal = Refusal::heldByOwnKeyTap;
        return std::nullopt;
    }
    if (m_refused.count(combination)) {
        m_lastRefusal = Refusal::heldByAnotherProgram;
        return std::nullopt;
    }
    const Id id = m_nextId++;
    m_registered.emplace(id, combination);
    ++m_registrations;
    return id;
}

void FakeHotKeys::unregisterHotKey(Id id) {
    m_registered.erase(id);
    m_holdsKeyboard.erase(id);
}

void FakeHotKeys::setHoldsKeyboard(Id id, bool holds) {
    if (holds && m_registered.count(id))
        m_holdsKeyboard.insert(id);
    else
        m_holdsKeyboard.erase(id);
}

bool FakeHotKeys::holdsKeyboard(qint64 keyCode, qint64 modifiers) const {
    const std::optional<Id> id = idOf({keyCode, modifiers});
    return id && m_holdsKeyboard.count(*id) > 0;
}

void FakeHotKeys::holdKeyboard() {
    m_holding = true;
}

void FakeHotKeys::releaseKeyboard(quint64 window) {
    ++m_releaseRequests;
    if (!m_holding)
        return;
    m_holding = false;
    m_releasedTo.push_back(window);
}

void FakeHotKeys::refuse(qint64 keyCode, qint64 modifiers, bool refused) {
    if (refused)
        m_refused.insert({keyCode, modifiers});
    else
        m_refused.erase({keyCode, modifiers});
}

bool FakeHotKeys::isHeldElsewhere(qint64 keyCode, qint64 modifiers) {
    ++m_heldQueries;
    return m_refused.count({keyCode, modifiers}) > 0;
}

void FakeHotKeys::holdInOwnKeyTap(qint64 keyCode, bool held) {
    if (held)
        m_tappedKeys.insert(keyCode);
    else
        m_tappedKeys.erase(keyCode);
}

bool FakeHotKeys::isHeldByOwnKeyTap(qint64 keyCode, qint64) {
    return m_tappedKeys.count(keyCode) > 0;
}

bool FakeHotKeys::isRegistered(qint64 keyCode, qint64 modifiers) const {
    return idOf({keyCode, modifiers}).has_value();
}

std::optional<HotKeys::Id> FakeHotKeys::idOf(const Combination& combination) const {
    for (const auto& [id, registered] : m_registered)
        if (registered == combination)
            return id;
    return std::nullopt;
}

bool FakeHotKeys::press(qint64 keyCode, qint64 modifiers) {
    const auto id = idOf({keyCode, modifiers});
    if (!id)
        return false;
    Q_EMIT pressed(*id);
    return true;
}

bool FakeHotKeys::release(qint64 keyCode, qint64 modifiers) {
    const auto id = idOf({keyCode, modifiers});
    if (!id)
        return false;
    Q_EMIT released(*id);
    return true;
}

bool FakeHotKeys::tap(qint64 keyCode, qint64 modifiers) {
    const bool pressedKey = press(keyCode, modifiers);
    // The press may have given the combination up; then there is nothing to release.
    const bool releasedKey = release(keyCode, modifiers);
    return pressedKey || releasedKey;
}

} // namespace corvane
