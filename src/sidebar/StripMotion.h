#pragma once

#include "core/Motion.h"

class QObject;
class QWidget;
class QByteArray;

namespace corvane {

class Animator;

// The strip's motions, shared by its cells and chips.
namespace StripMotion {

// The window list's insertions, removals and reorders.
inline Motion listChange() {
    return Motion::spring(0.32, 0.86);
}
// A cell's growth under the pointer.
inline Motion hover() {
    return Motion::spring(0.22, 0.75);
}
// The switcher's mark moving onto or off a cell, and a desktop becoming the current one.
inline Motion mark() {
    return Motion::easeOut(Seconds(0.15));
}
// A workspace chip swelling while a window is dragged over it.
inline Motion dropTarget() {
    return Motion::spring(0.25, 0.6);
}

// A cell or chip on its way in is drawn at this scale of its size (0.8 at the start).
inline double arrivalScale(double presence) {
    return 0.8 + 0.2 * presence;
}

// Brings a chip made for a change in: from nothing, fading and growing on the list's spring.
void arrive(Animator& animator, QWidget& chip);
// Takes a chip whose item went away out: it no longer takes the pointer or drops, fades and
// shrinks where it stands on the list's spring, and is deleted; without `animated`, at once.
void leave(Animator& animator, QWidget& chip, bool animated);

// Carries `property` of `target` to `value` through `animator`, or sets it at once without one
// (a widget drawn on its own, such as a drag's picture).
void drive(Animator* animator, QObject& target, const char* property, double value, const Motion& motion);

} // namespace StripMotion

} // namespace corvane
