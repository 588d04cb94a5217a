#pragma once

#include "core/RawValueEnum.h"

namespace corvane {

// What keeping awake holds off: the display's sleep, the system's sleep, or sleep with the lid
// closed. Stored by raw value.
enum class AwakeMode { display, system, lidClosed };

template <> struct EnumCases<AwakeMode> {
    static constexpr std::array<std::pair<AwakeMode, std::string_view>, 3> cases{{
        {AwakeMode::display, "display"},
        {AwakeMode::system, "system"},
        {AwakeMode::lidClosed, "lidClosed"},
    }};
};

} // namespace corvane
