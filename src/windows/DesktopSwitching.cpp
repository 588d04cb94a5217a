// Switching desktops from the strip's desktop chips, and the desktop's own shortcuts to them.
#include "windows/SpacesService.h"

#include "runtime/Executor.h"

#include <QGuiApplication>
#include <QPointer>
#include <QStyleHints>

#include <algorithm>
#include <limits>

namespace corvane {

namespace {

Seconds doubleClickInterval() {
    if (!qGuiApp)
        return Seconds(0.4);
    return Seconds(QGuiApplication::styleHints()->mouseDoubleClickInterval() / 1000.0);
}

} // namespace

void SpacesService::handleSpaceClick(uint64_t id, int index) {
    const Instant now = m_scheduler.now();
    if (m_lastClick && m_lastClick->id == id &&
        std::chrono::duration_cast<Seconds>(now - m_lastClick->time) <= doubleClickInterval()) {
        m_lastClick.reset();
        const double sinceSwitch = m_lastSwitch ? m_scheduler.elapsedSince(*m_lastSwitch).count()
                                                : std::numeric_limits<double>::infinity();
        openOverview(Seconds(std::max(0.0, overviewSettleDelay - sinceSwitch)));
        return;
    }
    m_lastClick = Click{id, now};
    switchToSpace(id, index);
}

QCoro::Task<void> SpacesService::openOverview(Seconds delay) {
    // Where there is no overview the double click does nothing more.
    if (!m_desktops.hasOverview())
        co_return;
    QPointer<SpacesService> self(this);
    // A cancelled sleep still opens it.
    co_await m_scheduler.sleep(delay);
    if (!self)
        co_return;
    (void)m_desktops.openOverview();
}

void SpacesService::switchToSpace(uint64_t id, int index) {
    refresh();
    if (m_switching || m_spaces.empty())
        return;
    const auto current = std::find_if(m_spaces.begin(), m_spaces.end(),
                                      [this](const SpaceInfo& space) { return space.id == m_currentID; });
    if (!m_currentID || current == m_spaces.end())
        return;
    if (current->index == index)
        return;
    m_lastSwitch = m_scheduler.now();
    // Shown at once; the next refresh puts what the window manager reports in its place.
    setCurrentID(id);
    // The window manager takes the target desktop in one request, so there is no stepping
    // through the desktops in between; further switches wait until the request is out.
    m_switching = true;
    requestDesktop(index);
}

QCoro::Task<void> SpacesService::requestDesktop(int index) {
    QPointer<SpacesService> self(this);
    Desktops* desktops = &m_desktops;
    auto send = [desktops, index] { return desktops->switchToDesktop(index - 1); };
    bool sent = false;
    try {
        sent = co_await runOn(m_background, send);
    } catch (...) {
        sent = false;
    }
    if (!self)
        co_return;
    m_switching = false;
    // Nothing will move, so no change of desktop will come to correct the chip shown as current:
    // read the real one back now.
    if (!sent)
        refresh();
}

bool SpacesService::isDesktopShortcutEnabled(int number) {
    return m_desktops.hasDesktopShortcuts() && m_desktops.isDesktopShortcutEnabled(number);
}

bool SpacesService::desktopShortcutsEnabled() {
    const int last = std::clamp(static_cast<int>(m_spaces.size()), 2, 9);
    for (int number = 1; number <= last; ++number) {
        if (!isDesktopShortcutEnabled(number))
            return false;
    }
    return true;
}

std::optional<QString> SpacesService::enableDesktopShortcuts() {
    if (!m_desktops.hasDesktopShortcuts())
        return QStringLiteral("This desktop has no shortcuts of its own for switching desktops.");
    return m_desktops.enableDesktopShortcuts();
}

} // namespace corvane
