#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace corvane {

// The desktops as the window manager reports them: how many there are and which one is shown.
struct DesktopState {
    uint32_t count = 0;
    std::optional<uint32_t> current; // counted from 0; absent when the window manager names none
    bool operator==(const DesktopState&) const = default;
};

// The window manager's desktops: reading them and switching between them, plus two helpers a
// desktop may or may not offer around them: an overview that shows every desktop at once, and
// keyboard shortcuts of its own that go straight to desktop 1 to 9. Callers ask `has…` first and
// carry on without the helper where it is missing.
class Desktops {
public:
    virtual ~Desktops() = default;

    // The desktops of the display with this identifier. None when they cannot be read (no
    // window manager that keeps desktops). Any thread; each call reads afresh.
    virtual std::optional<DesktopState> readDesktops(const std::optional<QString>& displayIdentifier) = 0;
    // Asks the window manager to show the desktop at `index` (counted from 0). False when the
    // request could not be made, an index outside the list included. Any thread.
    virtual bool switchToDesktop(int index) = 0;

    // Main thread from here on.
    virtual bool hasOverview() const = 0;
    // False when nothing opened.
    virtual bool openOverview() = 0;

    virtual bool hasDesktopShortcuts() const = 0;
    // Whether the desktop's shortcut to desktop `number` (from 1) is on; false when unreadable.
    virtual bool isDesktopShortcutEnabled(int number) = 0;
    // Turns on the shortcuts to desktops 1 to 9. The reason they could not be turned on, or none.
    virtual std::optional<QString> enableDesktopShortcuts() = 0;
};

} // namespace corvane
