#pragma once

namespace corvane {

struct NotchModel {
    enum class Kind { volume, brightness };
};

} // namespace corvane
