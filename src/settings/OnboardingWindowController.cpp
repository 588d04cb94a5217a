#include "settings/OnboardingWindowController.h"

#include "core/PermissionManager.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "platform/PanelWindowing.h"
#include "platform/Platform.h"
#include "settings/OnboardingView.h"
#include "settings/OnboardingWindow.h"
#include "settings/SettingsServices.h"
#include "settings/SettingsWindowController.h"

#include <QWindow>

#include <algorithm>

namespace corvane {

OnboardingWindowController::OnboardingWindowController(const SettingsServices& services,
                                                       SettingsWindowController& settingsWindow,
                                                       std::function<void()> windowClosed)
    : m_services(services), m_settingsWindow(settingsWindow), m_windowClosed(std::move(windowClosed)) {}

OnboardingWindowController::~OnboardingWindowController() {
    delete m_window.data();
    for (const QPointer<OnboardingWindow>& closing : m_closing)
        delete closing.data();
}

void OnboardingWindowController::show() {
    ++m_showCount;
    if (m_window) {
        // A window still waiting for its frame shows once it knows it.
        if (!m_awaitingFrame)
            present();
        return;
    }
    buildWindow();
    // Titled and closable, but not to be minimised: it asks for what the product needs to
    // work. The desktop reads that when it takes the window on, at its first showing.
    m_window->winId();
    PanelWindowing& windowing = *m_services.platform.panelWindowing;
    windowing.offerNoMinimise(*m_window->windowHandle());
    // Centred by its frame at every showing, the first included: the window manager is asked
    // what it will draw around the window before it is shown.
    m_awaitingFrame = true;
    QPointer<OnboardingWindow> window(m_window);
    windowing.askFrameMargins(*m_window->windowHandle(), [this, window](std::optional<QMargins> frame) {
        if (!window || window != m_window)
            return;
        m_awaitingFrame = false;
        m_expectedFrame = frame.value_or(QMargins());
        present();
    });
}

void OnboardingWindowController::present() {
    centerOnMouseScreen(*m_services.platform.screens, *m_window, m_expectedFrame);
    m_services.permissions.startPolling(pollWhileOpen);
    m_services.platform.host->activate();
    // Fronting a minimised window brings it back as well, where a desktop minimised it anyway.
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void OnboardingWindowController::finish() {
    m_services.settings.setHasCompletedOnboarding(true);
    if (m_window)
        m_window->close();
    m_settingsWindow.show(SettingsTab::keep);
}

void OnboardingWindowController::windowWillClose() {
    // Quitting closes every window: nothing starts again then.
    if (!m_services.platform.host->isTerminating()) {
        m_services.permissions.startPolling(pollWhenClosed);
        if (m_windowClosed)
            m_windowClosed();
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
    m_window = new OnboardingWindow(m_services, [this] { finish(); });
    QObject::connect(m_window, &OnboardingWindow::willClose, m_window, [this] { windowWillClose(); });
    QObject::connect(&m_window->view(), &OnboardingView::permissionsCompleted, m_window,
                     [this] { scheduleHandOver(); });
}

void OnboardingWindowController::scheduleHandOver() {
    std::erase_if(m_handOvers, [](const TimerHandle& handle) { return !handle.isValid(); });
    m_handOvers.push_back(m_services.scheduler.schedule(handOverDelay, [this] { finish(); }));
}

} // namespace corvane
