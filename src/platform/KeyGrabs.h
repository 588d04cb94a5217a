#pragma once

#include <QtGlobal>

#include <compare>
#include <optional>
#include <vector>

namespace corvane {

// A key combination in the stored form of shortcuts: a virtual key code and the modifier bits of
// HotKeyModifier (platform/ModifierBits.h).
struct KeyCombination {
    qint64 keyCode = 0;
    qint64 modifiers = 0;
    auto operator<=>(const KeyCombination&) const = default;
};

// Key combinations the product takes from every other program for a while: the keys a mode
// answers while it is open, so that they act on the product alone. Each is taken in every state
// of the lock modifiers (Caps Lock, Num Lock). Nothing is delivered here: the product hears those
// keys through its event monitors, which see taken keys too. Main thread only.
class KeyGrabs {
public:
    using Id = quint32;

    virtual ~KeyGrabs() = default;

    // Takes the combinations. One this keyboard lacks, or that is held already (by another
    // program, or by the product's own hot keys), is left out. None when nothing was taken.
    virtual std::optional<Id> grabKeys(const std::vector<KeyCombination>& combinations) = 0;
    // Gives the grab's combinations back; an unknown id is ignored.
    virtual void releaseKeys(Id id) = 0;
};

} // namespace corvane
