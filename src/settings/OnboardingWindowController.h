#pragma once

#include <QPointer>
#include <QWidget>

namespace corvane {

class AppState;

// The first-run window that walks the user through the two permissions.
class OnboardingWindowController {
public:
    explicit OnboardingWindowController(AppState& state) : m_state(state) {}

    // Creates the window once, polls the permissions every second while it shows, and fronts it.
    void show();

    QWidget* window() const { return m_window; }
    int showCount() const { return m_showCount; }

private:
    AppState& m_state;
    QPointer<QWidget> m_window;
    int m_showCount = 0;
};

} // namespace corvane
