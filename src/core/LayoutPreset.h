#pragma once

#include "core/RawValueEnum.h"

#include <QString>

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

// The name every list of presets shows: "Halves 50/50", "60 / 40", "Thirds", "Main + Stack", "Grid",
// "Maximize All".
QString title(LayoutPreset preset);

} // namespace corvane
