#pragma once

#include "app/RawValueEnum.h"

namespace corvane {

// The tiling arrangements a set of windows can be laid out in. Stored by raw value.
enum class LayoutPreset { halves, sixtyForty, thirds, mainStack, grid, maximize };

template <> struct EnumCases<LayoutPreset> {
    static constexpr std::array<std::pair<LayoutPreset, std::string_view>, 6> cases{{
        {LayoutPreset::halves, "halves"},
        {LayoutPreset::sixtyForty, "sixtyForty"},
        {LayoutPreset::thirds, "thirds"},
        {LayoutPreset::mainStack, "mainStack"},
        {LayoutPreset::grid, "grid"},
        {LayoutPreset::maximize, "maximize"},
    }};
};

} // namespace corvane
