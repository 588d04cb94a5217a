#pragma once

#include "platform/HotKeys.h"

#include <compare>
#include <map>
#include <set>
#include <vector>

namespace corvane {

// Hot keys in memory. A test presses registered combinations, refuses the ones "another program"
// holds, and checks what the product has taken.
class FakeHotKeys final : public HotKeys {
    Q_OBJECT
public:
    struct Combination {
        qint64 keyCode = 0;
        qint64 modifiers = 0;
        auto operator<=>(const Combination&) const = default;
    };

    std::optional<Id> registerHotKey(qint64 keyCode, qint64 modifiers) override;
    void unregisterHotKey(Id id) override;

    // A combination "another program" holds: later registrations of it fail (or succeed again).
    void refuse(qint64 keyCode, qint64 modifiers, bool refused = true);
    bool isHeldElsewhere(qint64 keyCode, qint64 modifiers) override;
    // A key the product's own key tap holds in every modifier state: later registrations of it,
    // with any modifiers, fail (or succeed again).
    void holdInOwnKeyTap(qint64 keyCode, bool held = true);
    bool isHeldByOwnKeyTap(qint64 keyCode, qint64 modifiers) override;
    // How often the product asked whether a combination is held elsewhere.
    int heldElsewhereQueries() const { return m_heldQueries; }
    bool isRegistered(qint64 keyCode, qint64 modifiers) const;
    int registeredCount() const { return static_cast<int>(m_registered.size()); }
    // Successful registrations so far, for checks that a combination was taken only once.
    int registrationCount() const { return m_registrations; }

    void setHoldsKeyboard(Id id, bool holds) override;
    // Whether the combination's press holds the keyboard.
    bool holdsKeyboard(qint64 keyCode, qint64 modifiers) const;
    void holdKeyboard() override;
    void releaseKeyboard(quint64 window) override;
    bool isHoldingKeyboard() const { return m_holding; }
    // The windows each hold so far was released to, 0 for a hold whose keys were dropped.
    const std::vector<quint64>& releasedTo() const { return m_releasedTo; }
    // Every release asked for, those of a hold already released included (which end its wait).
    int releaseRequests() const { return m_releaseRequests; }

    // Presses or releases a registered combination; false (and no signal) when it is not taken.
    bool press(qint64 keyCode, qint64 modifiers);
    bool release(qint64 keyCode, qint64 modifiers);
    // Press and release.
    bool tap(qint64 keyCode, qint64 modifiers);

private:
    std::optional<Id> idOf(const Combination& combination) const;

    std::map<Id, Combination> m_registered;
    std::set<Id> m_holdsKeyboard;
    std::set<Combination> m_refused;
    std::set<qint64> m_tappedKeys;
    Id m_nextId = 1;
    bool m_holding = false;
    std::vector<quint64> m_releasedTo;
    int m_releaseRequests = 0;
    int m_registrations = 0;
    int m_heldQueries = 0;
};

} // namespace corvane
