#include "platform/fake/FakeScreens.h"

namespace corvane {

std::optional<ScreenInfo> FakeScreens::mainScreen() const {
    if (!m_mainIndex || *m_mainIndex >= m_screens.size())
        return std::nullopt;
    return m_screens[*m_mainIndex];
}

void FakeScreens::setScreens(std::vector<ScreenInfo> screens) {
    m_screens = std::move(screens);
    Q_EMIT screensChanged();
}

} // namespace corvane
