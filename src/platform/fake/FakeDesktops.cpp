#include "platform/fake/FakeDesktops.h"

namespace corvane {

std::optional<DesktopState> FakeDesktops::readDesktops(const std::optional<QString>& displayIdentifier) {
    std::lock_guard lock(m_mutex);
    m_readDisplays.push_back(displayIdentifier);
    return m_state;
}

bool FakeDesktops::switchToDesktop(int index) {
    std::lock_guard lock(m_mutex);
    m_switches.push_back(index);
    if (m_refuses || !m_state || index < 0 || static_cast<uint32_t>(index) >= m_state->count)
        return false;
    if (m_follows)
        m_state->current = static_cast<uint32_t>(index);
    return true;
}

bool FakeDesktops::openOverview() {
    if (!overviewAvailable)
        return false;
    ++overviewOpens;
    return true;
}

bool FakeDesktops::isDesktopShortcutEnabled(int number) {
    shortcutQueries.push_back(number);
    return shortcutsAvailable && enabledShortcuts.contains(number);
}

std::optional<QString> FakeDesktops::enableDesktopShortcuts() {
    ++enableCalls;
    if (enableError)
        return enableError;
    for (int number = 1; number <= 9; ++number)
        enabledShortcuts.insert(number);
    return std::nullopt;
}

void FakeDesktops::setState(std::optional<DesktopState> state) {
    std::lock_guard lock(m_mutex);
    m_state = state;
}

std::optional<DesktopState> FakeDesktops::state() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

void FakeDesktops::setRefusesSwitches(bool refuses) {
    std::lock_guard lock(m_mutex);
    m_refuses = refuses;
}

void FakeDesktops::setFollowsSwitches(bool follows) {
    std::lock_guard lock(m_mutex);
    m_follows = follows;
}

int FakeDesktops::readCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_readDisplays.size());
}

std::vector<std::optional<QString>> FakeDesktops::readDisplays() const {
    std::lock_guard lock(m_mutex);
    return m_readDisplays;
}

std::vector<int> FakeDesktops::switches() const {
    std::lock_guard lock(m_mutex);
    return m_switches;
}

} // namespace corvane
