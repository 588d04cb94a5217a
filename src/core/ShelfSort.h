#pragma once

#include "core/RawValueEnum.h"

namespace corvane {

// The file shelf's sort order. Stored by raw value.
enum class ShelfSort { newest, name };

template <> struct EnumCases<ShelfSort> {
    static constexpr std::array<std::pair<ShelfSort, std::string_view>, 2> cases{{
        {ShelfSort::newest, "newest"},
        {ShelfSort::name, "name"},
    }};
};

} // namespace corvane
