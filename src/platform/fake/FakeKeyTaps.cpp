#include "platform/fake/FakeKeyTaps.h"

#include <algorithm>

namespace corvane {

std::optional<KeyTaps::Id> FakeKeyTaps::addKeyTap(const std::vector<Qt::Key>& keys, Callback callback) {
    std::vector<Qt::Key> taken;
    std::copy_if(keys.begin(), keys.end(), std::back_inserter(taken),
                 [this](Qt::Key key) { return !m_refused.contains(key); });
    if (taken.empty())
        return std::nullopt;
    m_taps[++m_lastId] = Tap{std::move(taken), std::move(callback)};
    return m_lastId;
}

void FakeKeyTaps::removeKeyTap(Id id) {
    m_taps.erase(id);
}

bool FakeKeyTaps::press(Qt::Key key, qint64 modifiers) {
    bool delivered = false;
    for (const auto& [id, tap] : m_taps) {
        if (std::find(tap.keys.begin(), tap.keys.end(), key) == tap.keys.end())
            continue;
        tap.callback(TappedKey{key, true, false, modifiers});
        delivered = true;
    }
    return delivered;
}

bool FakeKeyTaps::isTaken(Qt::Key key) const {
    return std::any_of(m_taps.begin(), m_taps.end(), [key](const auto& entry) {
        const std::vector<Qt::Key>& keys = entry.second.keys;
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    });
}

} // namespace corvane
