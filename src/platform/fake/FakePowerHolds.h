#pragma once

#include "platform/PowerHolds.h"

#include <map>
#include <set>

namespace corvane {

// Holds kept in a table the test reads; a kind in `refused` is never granted.
class FakePowerHolds final : public PowerHolds {
public:
    std::optional<HoldID> take(Kind kind, const char*) override {
        if (refused.contains(kind))
            return std::nullopt;
        held[++m_lastID] = kind;
        return m_lastID;
    }
    void release(HoldID id) override { held.erase(id); }
    bool offers(Kind kind) override { return !refused.contains(kind); }

    // The kinds held now, each as often as it is held.
    std::multiset<Kind> heldKinds() const {
        std::multiset<Kind> kinds;
        for (const auto& [id, kind] : held)
            kinds.insert(kind);
        return kinds;
    }

    std::map<HoldID, Kind> held;
    std::set<Kind> refused;

private:
    HoldID m_lastID = 0;
};

} // namespace corvane
