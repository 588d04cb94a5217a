#include "platform/x11/X11KeyGrabs.h"

#include "runtime/Log.h"

#include <algorithm>
#include <cstdlib>

namespace corvane {

X11KeyGrabs::X11KeyGrabs(const QByteArray& displayName)
    : m_keyboard(displayName, this, [this] { readEvents(); }) {}

X11KeyGrabs::~X11KeyGrabs() = default;

std::optional<KeyGrabs::Id> X11KeyGrabs::grabKeys(const std::vector<KeyCombination>& combinations) {
    if (!m_keyboard.isConnected())
        return std::nullopt;
    Grab grab{combinations, {}};
    take(grab);
    // Checking the grabs may have pulled events into xcb's queue, where the notifier never sees
    // them.
    readEvents();
    if (grab.taken.empty())
        return std::nullopt;
    m_grabs[++m_lastId] = std::move(grab);
    return m_lastId;
}

void X11KeyGrabs::releaseKeys(Id id) {
    const auto found = m_grabs.find(id);
    if (found == m_grabs.end())
        return;
    giveBack(found->second);
    m_grabs.erase(found);
}

void X11KeyGrabs::take(Grab& grab) {
    for (const KeyCombination& combination : grab.requested) {
        const auto translated = m_keyboard.combinationOf(combination.keyCode, combination.modifiers);
        if (!translated || std::find(grab.taken.begin(), grab.taken.end(), *translated) != grab.taken.end())
            continue;
        if (const std::optional<uint8_t> failure =
                m_keyboard.grabCombination(translated->first, translated->second))
            qCDebug(lcApp, "Key %lld/0x%llx is held already (X error %d)",
                    static_cast<long long>(combination.keyCode),
                    static_cast<long long>(combination.modifiers), *failure);
        else
            grab.taken.push_back(*translated);
    }
}

void X11KeyGrabs::giveBack(Grab& grab) {
    if (m_keyboard.isConnected())
        for (const auto& [keycode, mask] : grab.taken)
            m_keyboard.ungrabCombination(keycode, mask);
    grab.taken.clear();
}

void X11KeyGrabs::readEvents() {
    if (!m_keyboard.raw())
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_keyboard.raw())) {
        if (m_keyboard.isKeymapChange(x11EventType(*event)))
            keymapChanged();
        std::free(event);
    }
    m_keyboard.stopIfClosed();
}

void X11KeyGrabs::keymapChanged() {
    // Grabs live for seconds: each change of a burst moves them at once, without waiting for it
    // to settle. Events the checks queue are read by the loop this runs from.
    const auto [locksBefore, locksMoved] = m_keyboard.reloadKeymap();
    const bool connected = m_keyboard.isConnected();
    // A combination whose key and modifiers stay keeps its grab: let go of for a moment, a press
    // meanwhile would reach the program in front. Most notices change nothing here (another
    // keyboard of the same layout starting to type). Every moved grab goes before any is taken.
    for (auto& [id, grab] : m_grabs) {
        std::vector<std::pair<xcb_keycode_t, uint16_t>> kept;
        for (const auto& taken : grab.taken) {
            const bool stays =
                !locksMoved &&
                std::any_of(
                    grab.requested.begin(), grab.requested.end(), [&](const KeyCombination& combination) {
                        return m_keyboard.combinationOf(combination.keyCode, combination.modifiers) == taken;
                    });
            if (stays)
                kept.push_back(taken);
            else
                m_keyboard.ungrabCombination(taken.first, taken.second, locksBefore);
        }
        grab.taken = std::move(kept);
    }
    if (!connected)
        return;
    for (auto& [id, grab] : m_grabs)
        take(grab);
}

} // namespace corvane
