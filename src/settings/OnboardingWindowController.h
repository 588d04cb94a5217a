#pragma once

#include "runtime/Scheduler.h"
#include "settings/OnboardingWindow.h"
#include "settings/SettingsServices.h"

#include <QMargins>
#include <QPointer>

#include <functional>

#include <vector>

namespace corvane {

class SettingsWindowController;

// The first-run window that walks the user through the two permissions and hands over to the
// settings window. While it shows, the permissions are polled every second; once it closes, every
// two seconds, and the snap wheel is armed again so that a permission granted meanwhile counts.
class OnboardingWindowController {
public:
    // `settingsWindow` takes over when onboarding finishes; `windowClosed` runs whenever the
    // window closes (the application re-arms what a new permission may enable).
    OnboardingWindowController(const SettingsServices& services, SettingsWindowController& settingsWindow,
                               std::function<void()> windowClosed);
    ~OnboardingWindowController();
    OnboardingWindowController(const OnboardingWindowController&) = delete;
    OnboardingWindowController& operator=(const OnboardingWindowController&) = delete;

    // Builds the window once, moves it to the screen under the pointer, polls every second and
    // fronts it.
    void show();
    // Marks onboarding complete, closes the window if it is open and opens the settings window
    // on its current page. Safe to run more than once.
    void finish();
    // The window is closing, however it was closed.
    void windowWillClose();

    OnboardingWindow* window() const { return m_window; }
    int showCount() const { return m_showCount; }

    static constexpr Seconds pollWhileOpen{1.0};
    static constexpr Seconds pollWhenClosed{2.0};
    // How long the window lingers after both permissions are granted, so the user sees it happen.
    static constexpr Seconds handOverDelay{0.9};

private:
    void buildWindow();
    // Places the built window by its frame, polls every second and fronts it.
    void present();
    void scheduleHandOver();

    SettingsServices m_services;
    SettingsWindowController& m_settingsWindow;
    std::function<void()> m_windowClosed;
    QPointer<OnboardingWindow> m_window;
    // Closed windows waiting for their deferred deletion; any still here go with the controller,
    // before the services their pages use.
    std::vector<QPointer<OnboardingWindow>> m_closing;
    // Pending hand-overs. They belong to the controller, not the window, so they run even when
    // the window is closed in the meantime.
    std::vector<TimerHandle> m_handOvers;
    int m_showCount = 0;
    // The window was built and waits for the window manager to say what frame it will draw.
    bool m_awaitingFrame = false;
    // What it said, for a window whose frame the toolkit does not know yet.
    QMargins m_expectedFrame;
};

} // namespace corvane
