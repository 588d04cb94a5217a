#pragma once

#include <cstdint>
#include <optional>

namespace corvane {

// Holds that keep the machine, or its screen, from going to sleep by itself. A hold lasts until it
// is released or this process ends, whichever comes first: the system keeps each one as a
// resource of this process (a file descriptor, a client of the display server, a bus name), so a
// crash or a kill can never leave the machine unable to sleep.
class PowerHolds {
public:
    enum class Kind {
        // The machine does not go to sleep when it is idle; a suspend the user asks for still happens.
        idleSleep,
        // The screen stays on: no screen saver, no blanking.
        displaySleep,
        // Closing the lid does nothing.
        lidSwitch,
    };
    using HoldID = std::uint32_t;

    virtual ~PowerHolds() = default;
    // Takes a hold of `kind`, naming `reason` to the system; none when the system refuses it or
    // has no service that can hold it.
    virtual std::optional<HoldID> take(Kind kind, const char* reason) = 0;
    // Releases a hold taken here; an unknown id is ignored.
    virtual void release(HoldID id) = 0;
    // Whether a hold of `kind` can be had at all here (a service that grants it answers); a
    // take may still be refused.
    virtual bool offers(Kind kind) = 0;
};

} // namespace corvane
