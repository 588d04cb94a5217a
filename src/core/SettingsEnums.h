#pragma once

#include "core/RawValueEnum.h"

// The choices of the settings store that are not plain flags or numbers. Each is stored as its
// raw value (the case name), so the spellings below are part of the persistent format.

namespace corvane {

// The screen edge of the sidebar strip, and the side the shelf panel opens on beside it.
enum class SidebarEdge { left, right };

// The display of the strip: the first screen, the one under the mouse, or `specificDisplayID`.
enum class SidebarDisplay { main, mouse, specific };

// Which windows the window list keeps: all, or only those on the strip's display.
enum class WindowScope { allDisplays, sidebarDisplay };

enum class ThumbnailSize { small, medium, large };

// Most recently activated first, or first seen first.
enum class WindowOrdering { recent, stable };

// The background of the floating panels.
enum class PanelStyle { glass, frosted, dark };

// The brand colour or the system accent colour.
enum class AccentChoice { lumenForge, system };

// The modifier key whose hold opens the snap wheel.
enum class RadialTrigger { fn, rightOption, rightCommand, rightControl };

// What the wheel's centre does; `none` does nothing.
enum class RadialCenterAction { maximize, almostMaximize, center, none };

// Which window the wheel moves: the focused one or the one under the pointer.
enum class RadialTarget { focused, underCursor };

template <> struct EnumCases<SidebarEdge> {
    static constexpr std::array<std::pair<SidebarEdge, std::string_view>, 2> cases{{
        {SidebarEdge::left, "left"},
        {SidebarEdge::right, "right"},
    }};
};

template <> struct EnumCases<SidebarDisplay> {
    static constexpr std::array<std::pair<SidebarDisplay, std::string_view>, 3> cases{{
        {SidebarDisplay::main, "main"},
        {SidebarDisplay::mouse, "mouse"},
        {SidebarDisplay::specific, "specific"},
    }};
};

template <> struct EnumCases<WindowScope> {
    static constexpr std::array<std::pair<WindowScope, std::string_view>, 2> cases{{
        {WindowScope::allDisplays, "allDisplays"},
        {WindowScope::sidebarDisplay, "sidebarDisplay"},
    }};
};

template <> struct EnumCases<ThumbnailSize> {
    static constexpr std::array<std::pair<ThumbnailSize, std::string_view>, 3> cases{{
        {ThumbnailSize::small, "small"},
        {ThumbnailSize::medium, "medium"},
        {ThumbnailSize::large, "large"},
    }};
};

template <> struct EnumCases<WindowOrdering> {
    static constexpr std::array<std::pair<WindowOrdering, std::string_view>, 2> cases{{
        {WindowOrdering::recent, "recent"},
        {WindowOrdering::stable, "stable"},
    }};
};

template <> struct EnumCases<PanelStyle> {
    static constexpr std::array<std::pair<PanelStyle, std::string_view>, 3> cases{{
        {PanelStyle::glass, "glass"},
        {PanelStyle::frosted, "frosted"},
        {PanelStyle::dark, "dark"},
    }};
};

template <> struct EnumCases<AccentChoice> {
    static constexpr std::array<std::pair<AccentChoice, std::string_view>, 2> cases{{
        {AccentChoice::lumenForge, "lumenForge"},
        {AccentChoice::system, "system"},
    }};
};

template <> struct EnumCases<RadialTrigger> {
    static constexpr std::array<std::pair<RadialTrigger, std::string_view>, 4> cases{{
        {RadialTrigger::fn, "fn"},
        {RadialTrigger::rightOption, "rightOption"},
        {RadialTrigger::rightCommand, "rightCommand"},
        {RadialTrigger::rightControl, "rightControl"},
    }};
};

template <> struct EnumCases<RadialCenterAction> {
    static constexpr std::array<std::pair<RadialCenterAction, std::string_view>, 4> cases{{
        {RadialCenterAction::maximize, "maximize"},
        {RadialCenterAction::almostMaximize, "almostMaximize"},
        {RadialCenterAction::center, "center"},
        {RadialCenterAction::none, "none"},
    }};
};

template <> struct EnumCases<RadialTarget> {
    static constexpr std::array<std::pair<RadialTarget, std::string_view>, 2> cases{{
        {RadialTarget::focused, "focused"},
        {RadialTarget::underCursor, "underCursor"},
    }};
};

} // namespace corvane
