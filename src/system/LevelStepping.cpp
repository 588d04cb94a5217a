#include "system/LevelStepping.h"

#include "platform/SoundOutput.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// A step of nothing would never move a level (the grid would divide by zero), and one below
// nothing would turn each key around: either is taken as the smallest step, a hundredth.
float stepFrom(long long percent) {
    return percent > 0 ? float(percent) / 100.0f : 0.01f;
}

} // namespace

void LevelSteps::load(long long volumePercent, long long brightnessPercent, long long floorPercent) {
    volume = stepFrom(volumePercent);
    brightness = stepFrom(brightnessPercent);
    // A floor below nothing would report a level below nothing; one above full keeps the display
    // at full, as written.
    brightnessFloor = floorPercent > 0 ? float(floorPercent) / 100.0f : 0.0f;
}

float snapToStep(float x, float step) {
    return step * std::round(x / step);
}

namespace {

MediaKeyResult stepBrightness(bool up, bool pressed, float step, float floor, Backlight& backlight) {
    const auto current = backlight.brightness();
    if (!current)
        return {};
    if (!pressed)
        return {true, std::nullopt};
    float level = snapToStep(*current + (up ? step : -step), step);
    if (level <= floor)
        level = floor;
    if (level > 1)
        level = 1;
    if (!backlight.setBrightness(level <= 0 ? 0 : level))
        return {};
    return {true, LevelReport{NotchModel::Kind::brightness, false, level}};
}

MediaKeyResult stepVolume(bool up, bool pressed, float step, SoundOutput& sound) {
    const auto current = sound.volume();
    if (!current)
        return {};
    if (!pressed)
        return {true, std::nullopt};
    const bool muted = sound.isMuted().value_or(false);
    const float base = up && muted ? 0.0f : *current;
    float level = snapToStep(base + (up ? step : -step), step);
    level = std::clamp(level, 0.0f, 1.0f);
    if (!sound.setVolume(level))
        return {};
    if (level <= 0)
        sound.setMuted(true);
    return {true, LevelReport{NotchModel::Kind::volume, sound.isMuted().value_or(false),
                              sound.volume().value_or(level)}};
}

MediaKeyResult toggleMute(bool pressed, SoundOutput& sound) {
    const auto muted = sound.isMuted();
    if (!muted)
        return {};
    if (!pressed)
        return {true, std::nullopt};
    if (!sound.setMuted(!*muted))
        return {};
    return {true, LevelReport{NotchModel::Kind::volume, !*muted, sound.volume().value_or(0)}};
}

} // namespace

MediaKeyResult handleMediaKey(MediaKey key, bool pressed, bool fine, const LevelSteps& steps,
                              SoundOutput& sound, Backlight& backlight) {
    switch (key) {
    case MediaKey::brightnessUp:
    case MediaKey::brightnessDown:
        return stepBrightness(key == MediaKey::brightnessUp, pressed, fine ? 0.01f : steps.brightness.load(),
                              steps.brightnessFloor.load(), backlight);
    case MediaKey::volumeUp:
    case MediaKey::volumeDown:
        return stepVolume(key == MediaKey::volumeUp, pressed, fine ? 0.01f : steps.volume.load(), sound);
    case MediaKey::mute:
        return toggleMute(pressed, sound);
    }
    return {};
}

} // namespace corvane
