#pragma once

#include "runtime/Time.h"

#include <QString>

#include <optional>

namespace corvane {

// How a held key repeats: the wait before the first repeat and the time between repeats.
struct KeyRepeat {
    Seconds delay{0.66};
    Seconds interval{0.04};
    bool operator==(const KeyRepeat&) const = default;
};

// The live keyboard: what its layout prints on a key, which key an event's native key code is,
// and how fast held keys repeat. Keys are named by the stored virtual key codes of shortcuts.
// Read afresh on every call, so a change of layout shows at once. Main thread only.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    // The text the key gives without modifiers in the current layout (or, when that layout writes
    // no Latin letters, in the first one that does); none for a key this keyboard does not have.
    virtual std::optional<QString> keyText(qint64 keyCode) const = 0;
    // The virtual key code of the key behind a key event's native key code (Qt's
    // `nativeScanCode`); none for a key the stored form cannot name.
    virtual std::optional<qint64> keyCode(quint32 nativeKeyCode) const = 0;
    // The desktop's repeat rate; 660 ms and 25 per second when it cannot be read.
    virtual KeyRepeat keyRepeat() const = 0;
};

} // namespace corvane
