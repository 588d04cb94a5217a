#pragma once

#include "platform/Screens.h"

#include <cstddef>
#include <functional>

namespace corvane {

// Screens a test lays out by hand. The main screen is the first one unless the test says
// otherwise; an index past the end means there is none.
class FakeScreens final : public Screens {
    Q_OBJECT
public:
    FakeScreens() = default;
    explicit FakeScreens(std::vector<ScreenInfo> screens) : m_screens(std::move(screens)) {}

    std::vector<ScreenInfo> screens() const override {
        if (onLookup)
            onLookup();
        return m_screens;
    }
    std::optional<ScreenInfo> mainScreen() const override;
    QPointF pointerLocation() const override { return m_pointer; }

    // Replaces the layout and announces the change.
    void setScreens(std::vector<ScreenInfo> screens);
    void setMainScreen(std::optional<std::size_t> index) { m_mainIndex = index; }
    void setPointer(QPointF location) { m_pointer = location; }
    // Run at every look at the screens, for tests of what goes before it.
    std::function<void()> onLookup;

private:
    std::vector<ScreenInfo> m_screens;
    std::optional<std::size_t> m_mainIndex = 0;
    QPointF m_pointer;
};

} // namespace corvane
