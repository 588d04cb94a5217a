#pragma once

#include <QRectF>

#include <cstdint>
#include <map>

namespace corvane {

class AppState;
class AXWindowService;
class Settings;

// Places the target window at a snap action's frame and remembers where it was before.
class SnapController {
public:
    SnapController(AXWindowService& ax, Settings& settings, AppState& state)
        : m_ax(ax), m_settings(settings), m_state(state) {}

private:
    [[maybe_unused]] AXWindowService& m_ax;
    [[maybe_unused]] Settings& m_settings;
    [[maybe_unused]] AppState& m_state;
    std::map<uint32_t, QRectF> m_originalFrames;
};

} // namespace corvane
