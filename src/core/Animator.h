#pragma once

#include "runtime/Time.h"

#include <functional>

namespace corvane {

class FloatingPanel;

// Runs the fades of floating panels. Behind an interface so that tests end fades when they
// choose instead of waiting for them.
class Animator {
public:
    virtual ~Animator() = default;

    // Fades `panel` to `alpha` over `duration`. From this call on, the panel's alphaValue() answers
    // `alpha`; what it shows follows over the duration. `completion`, if given, runs once on a
    // later turn of the main thread when this fade ends, whether it ran its course or a newer fade
    // of the same panel replaced it; it must check that the panel still exists.
    virtual void fade(FloatingPanel& panel, double alpha, Seconds duration,
                      std::function<void()> completion = {}) = 0;
};

} // namespace corvane
