#pragma once

#include "system/NotchModel.h"

#include <atomic>
#include <optional>

namespace corvane {

class Backlight;
class SoundOutput;

// The keys the heads-up display serves.
enum class MediaKey { volumeUp = 0, volumeDown = 1, brightnessUp = 2, brightnessDown = 3, mute = 7 };

// Step sizes as fractions of full scale. Written on the main thread, read where the keys are
// served.
struct LevelSteps {
    std::atomic<float> volume{0.0625f};
    std::atomic<float> brightness{0.0625f};
    std::atomic<float> brightnessFloor{0.1f};

    // From stored percentages, each a hundredth of its value as written, also outside what the
    // settings offer: only a step of 0 or less (taken as 0.01) and a floor below 0 (taken as 0)
    // are bounded, since they would stall or reverse the keys or report a level below silence.
    // The store reads whole numbers only, so no step is ever not a number.
    void load(long long volumePercent, long long brightnessPercent, long long floorPercent);
};

// What a served key leaves for the display to show.
struct LevelReport {
    NotchModel::Kind kind = NotchModel::Kind::volume;
    bool muted = false;
    float level = 0;
    bool operator==(const LevelReport&) const = default;
};

struct MediaKeyResult {
    // The key was served: it goes no further.
    bool handled = false;
    // What to show; none for the release of a served key.
    std::optional<LevelReport> report;
};

// The nearest value to `x` on the grid of `step` (halves away from zero).
float snapToStep(float x, float step);

// Serves one media key: one step (0.01 with `fine`) from the current level, pulled onto the step
// grid; volume clamped to 0…1 and muted at 0, a raise starting from silence when muted;
// brightness kept between the floor and 1. A key that cannot be served (nothing to drive, a read
// or write that fails) is not handled and changes nothing.
MediaKeyResult handleMediaKey(MediaKey key, bool pressed, bool fine, const LevelSteps& steps,
                              SoundOutput& sound, Backlight& backlight);

} // namespace corvane
