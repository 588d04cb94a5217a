#include "system/SystemAudio.h"

namespace corvane {

// Audio access arrives with the volume HUD; until then nothing can be read.
std::optional<float> outputVolume() {
    return std::nullopt;
}
std::optional<bool> isOutputMuted() {
    return std::nullopt;
}

} // namespace corvane
