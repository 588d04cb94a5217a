#pragma once

#include "system/NotchController.h"

#include <Qt>

#include <optional>

namespace corvane {

class EventTapThread;

// The keyboard's keys for each media key, and back.
Qt::Key qtKeyOf(MediaKey key);
std::optional<MediaKey> mediaKeyOf(Qt::Key key);
// Shift and Alt held together step finely; either alone steps normally.
bool isFineStep(qint64 storedModifiers);

// Takes the media keys on the event-tap thread for the display: one tap at a time, replaced on
// each call, released by an empty list. Held keys repeat their step.
std::function<bool(const std::vector<MediaKey>&, NotchController::KeyHandler)>
mediaKeyGrabber(EventTapThread& thread);

} // namespace corvane
