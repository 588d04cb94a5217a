#pragma once

#include <optional>

namespace corvane {

// The default output device's volume (0 to 1) and mute state; none when they cannot be read.
std::optional<float> outputVolume();
std::optional<bool> isOutputMuted();

} // namespace corvane
