#include "settings/OnboardingWindowController.h"

#include "app/AppState.h"
#include "core/PermissionManager.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "settings/OnboardingView.h"
#include "settings/OnboardingWindow.h"
#include "settings/SettingsWindowController.h"
#include "snapping/RadialSnapController.h"

#include <algorithm>

namespace corvane {

OnboardingWindowController::OnboardingWindowController(AppState& state) : m_state(state) {}

OnboardingWindowController::~OnboardingWindowController() {
    delete m_window.data();
    for (const QPointer<OnboardingWindow>& closing : m_closing)
        delete closing.data();
}

void OnboardingWindowController::show() {
    ++m_showCount;
    if (!m_window)
        buildWindow();
    centerOnMouseScreen(*m_state.platform().screens, *m_window);
    m_state.permissions().startPolling(pollWhileOpen);
    m_state.platform().host->activate();
    // Fronting a minimised window brings it back as well.
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void OnboardingWindowController::finish() {
    m_state.settings().setHasCompletedOnboarding(true);
    if (m_window)
        m_window->close();
    m_state.settingsWindow().show(SettingsTab::keep);
}

void OnboardingWindowController::windowWillClose() {
    // Quitting closes every window: nothing starts again then.
    if (!m_state.platform().host->isTerminating()) {
        m_state.permissions().startPolling(pollWhenClosed);
        m_state.radial().start();
    }
    if (!m_window)
        return;
    OnboardingWindow* closing = m_window;
    m_window = nullptr;
    // It is still inside its own close handling; it goes once that is over.
    std::erase_if(m_closing, [](const QPointer<OnboardingWindow>& window) { return window.isNull(); });
    m_closing.emplace_back(closing);
    closing->deleteLater();
}

void OnboardingWindowController::buildWindow() {
    m_window = new OnboardingWindow(m_state, [this] { finish(); });
    QObject::connect(m_window, &OnboardingWindow::willClose, m_window, [this] { windowWillClose(); });
    QObject::connect(&m_window->view(), &OnboardingView::permissionsCompleted, m_window,
                     [this] { scheduleHandOver(); });
}

void OnboardingWindowController::scheduleHandOver() {
    std::erase_if(m_handOvers, [](const TimerHandle& handle) { return !handle.isValid(); });
    m_handOvers.push_back(m_state.scheduler().schedule(handOverDelay, [this] { finish(); }));
}

} // namespace corvane
