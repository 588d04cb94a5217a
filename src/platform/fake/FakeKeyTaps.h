#pragma once

#include "platform/KeyTaps.h"

#include <map>
#include <set>

namespace corvane {

// Key taps in memory. A test presses keys (on the thread that owns the object) and refuses keys
// "another program" holds.
class FakeKeyTaps final : public KeyTaps {
    Q_OBJECT
public:
    std::optional<Id> addKeyTap(const std::vector<Qt::Key>& keys, Callback callback) override;
    void removeKeyTap(Id id) override;

    void refuse(Qt::Key key) { m_refused.insert(key); }
    // Delivers a press to every tap holding the key; false when none holds it.
    bool press(Qt::Key key, qint64 modifiers = 0);
    bool isTaken(Qt::Key key) const;

private:
    struct Tap {
        std::vector<Qt::Key> keys;
        Callback callback;
    };
    std::map<Id, Tap> m_taps;
    std::set<Qt::Key> m_refused;
    Id m_lastId = 0;
};

} // namespace corvane
