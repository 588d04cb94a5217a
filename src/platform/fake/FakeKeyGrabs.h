#pragma once

#include "platform/KeyGrabs.h"

#include <map>
#include <set>

namespace corvane {

// Key grabs in memory. A test reads which combinations are taken and makes some "held
// elsewhere".
class FakeKeyGrabs final : public KeyGrabs {
public:
    std::optional<Id> grabKeys(const std::vector<KeyCombination>& combinations) override {
        std::vector<KeyCombination> taken;
        for (const KeyCombination& combination : combinations)
            if (!m_heldElsewhere.contains(combination) && !isTaken(combination))
                taken.push_back(combination);
        if (taken.empty())
            return std::nullopt;
        m_grabs[++m_lastId] = std::move(taken);
        return m_lastId;
    }
    void releaseKeys(Id id) override { m_grabs.erase(id); }

    void holdElsewhere(KeyCombination combination) { m_heldElsewhere.insert(combination); }
    bool isTaken(KeyCombination combination) const {
        for (const auto& [id, taken] : m_grabs)
            for (const KeyCombination& held : taken)
                if (held == combination)
                    return true;
        return false;
    }
    // Every combination taken now, in no particular order.
    std::set<KeyCombination> taken() const {
        std::set<KeyCombination> all;
        for (const auto& [id, combinations] : m_grabs)
            all.insert(combinations.begin(), combinations.end());
        return all;
    }

private:
    std::map<Id, std::vector<KeyCombination>> m_grabs;
    std::set<KeyCombination> m_heldElsewhere;
    Id m_lastId = 0;
};

} // namespace corvane
