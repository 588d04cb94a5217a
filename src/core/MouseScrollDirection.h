#pragma once

#include "core/RawValueEnum.h"

namespace corvane {

// The mouse wheel's scroll direction: left as the system has it, or forced one way. Stored by
// raw value.
enum class MouseScrollDirection { system, standard, natural };

template <> struct EnumCases<MouseScrollDirection> {
    static constexpr std::array<std::pair<MouseScrollDirection, std::string_view>, 3> cases{{
        {MouseScrollDirection::system, "system"},
        {MouseScrollDirection::standard, "standard"},
        {MouseScrollDirection::natural, "natural"},
    }};
};

} // namespace corvane
