#include "settings/SettingsWindowController.h"

#include "core/ScreenHelpers.h"
#include "platform/Platform.h"
#include "settings/SettingsServices.h"
#include "settings/SettingsWindow.h"

namespace corvane {
namespace {

// The screen that shows the larger part of the window; none when the window is on no screen.
std::optional<ScreenInfo> screenShowing(const Screens& screens, const QRect& frame) {
    std::optional<ScreenInfo> best;
    double bestArea = 0;
    for (const ScreenInfo& screen : screens.screens()) {
        const QRectF overlap = screen.frame.intersected(QRectF(frame));
        const double area = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    return best;
}

} // namespace

SettingsWindowController::SettingsWindowController(const SettingsServices& services) : m_services(services) {}

SettingsWindowController::~SettingsWindowController() {
    delete m_window.data();
    for (const QPointer<SettingsWindow>& closing : m_closing)
        delete closing.data();
}

void SettingsWindowController::show(SettingsTab tab, std::optional<QUuid> workspace) {
    ++m_showCount;
    m_nav.setTab(tab);
    if (workspace)
        m_nav.setSelectedWorkspace(workspace);

    Screens& screens = *m_services.platform.screens;
    if (m_window) {
        if (!staysOnItsScreen())
            centerOnMouseScreen(screens, *m_window);
    } else {
        buildWindow();
        centerOnMouseScreen(screens, *m_window);
    }

    m_services.platform.host->activate();
    // Fronting a minimised window brings it back as well.
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void SettingsWindowController::windowWillClose() {
    if (!m_window)
        return;
    SettingsWindow* closing = m_window;
    m_window = nullptr;
    // It is still inside its own close handling; it goes once that is over.
    std::erase_if(m_closing, [](const QPointer<SettingsWindow>& window) { return window.isNull(); });
    m_closing.emplace_back(closing);
    closing->deleteLater();
}

void SettingsWindowController::buildWindow() {
    m_window = new SettingsWindow(m_services, m_nav);
    QObject::connect(m_window, &SettingsWindow::willClose, m_window, [this] { windowWillClose(); });
}

bool SettingsWindowController::staysOnItsScreen() const {
    // Qt keeps a minimised window visible; to the user it is not on the screen, and it comes back
    // centred like a hidden one.
    if (!m_window->isVisible() || m_window->isMinimized())
        return false;
    const Screens& screens = *m_services.platform.screens;
    const auto own = screenShowing(screens, m_window->frameGeometry());
    if (!own)
        return false;
    const auto pointer = screenUnderMouse(screens);
    return pointer && isSameScreen(*own, *pointer);
}

} // namespace corvane
