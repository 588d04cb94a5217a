#pragma once

#include "platform/Desktops.h"

#include <mutex>
#include <set>
#include <vector>

namespace corvane {

// Scripted desktops. By default one desktop, shown, and a window manager that follows every
// accepted switch request at once; a test can make the desktops unreadable, refuse switches or
// leave them unanswered, and offer the overview and the desktop shortcuts. Reads and switches may
// come from any thread; the rest is main-thread scripting.
class FakeDesktops final : public Desktops {
public:
    std::optional<DesktopState> readDesktops(const std::optional<QString>& displayIdentifier) override;
    bool switchToDesktop(int index) override;

    bool hasOverview() const override { return overviewAvailable; }
    bool openOverview() override;

    bool hasDesktopShortcuts() const override { return shortcutsAvailable; }
    bool isDesktopShortcutEnabled(int number) override;
    std::optional<QString> enableDesktopShortcuts() override;

    // `std::nullopt` makes every read fail.
    void setState(std::optional<DesktopState> state);
    void setDesktops(uint32_t count, std::optional<uint32_t> current) {
        setState(DesktopState{count, current});
    }
    std::optional<DesktopState> state() const;
    // Switch requests are answered false and change nothing.
    void setRefusesSwitches(bool refuses);
    // Accepted switches are recorded but the shown desktop stays (a window manager that is slow,
    // or one that ignores the request).
    void setFollowsSwitches(bool follows);

    int readCount() const;
    // The display identifiers the reads were asked for, in order.
    std::vector<std::optional<QString>> readDisplays() const;
    // The indexes of the switch requests, accepted or not, in order.
    std::vector<int> switches() const;

    bool overviewAvailable = false;
    int overviewOpens = 0;

    bool shortcutsAvailable = false;
    std::set<int> enabledShortcuts;
    std::vector<int> shortcutQueries;
    std::optional<QString> enableError;
    int enableCalls = 0;

private:
    mutable std::mutex m_mutex;
    std::optional<DesktopState> m_state = DesktopState{1, 0};
    bool m_refuses = false;
    bool m_follows = true;
    std::vector<std::optional<QString>> m_readDisplays;
    std::vector<int> m_switches;
};

} // namespace corvane
