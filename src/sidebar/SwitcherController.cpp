#include "sidebar/SwitcherController.h"

#include "core/Settings.h"
#include "runtime/Scheduler.h"
#include "sidebar/PinnedFirst.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarModel.h"
#include "windows/WindowService.h"

#include <QPointer>

namespace corvane {

SwitcherController::SwitcherController(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services)) {}

SwitcherController::~SwitcherController() {
    removeMonitors();
}

quint64 SwitcherController::releaseMask(std::optional<quint64> shortcutModifiers) {
    constexpr quint64 required = EventModifier::control | EventModifier::option | EventModifier::command;
    return shortcutModifiers ? (*shortcutModifiers & required) : EventModifier::option;
}

std::vector<KeyCombination> SwitcherController::answeredKeys(const std::optional<Shortcut>& shortcut) {
    const qint64 modifiers = shortcut ? shortcut->key.modifiers : HotKeyModifier::option;
    std::vector<KeyCombination> keys{{escapeKeyCode, modifiers}};
    if (modifiers & HotKeyModifier::shift)
        keys.push_back({escapeKeyCode, modifiers & ~HotKeyModifier::shift});
    if (shortcut)
        keys.push_back(shortcut->key);
    return keys;
}

void SwitcherController::advance() {
    if (m_active) {
        m_index = (m_index + 1) % std::max<int>(int(m_list.size()), 1);
        showSelection();
        return;
    }
    if (open())
        return;
    // Nothing listed yet (the first press after a start): only a full read. The press is not
    // kept for when the list comes: an opening then, long after the key, could move the focus
    // from under the user. The next press opens.
    m_services.windows.refresh(true);
}

quint64 SwitcherController::currentReleaseMask() const {
    const std::optional<Shortcut> shortcut = currentShortcut();
    return releaseMask(shortcut ? std::optional<quint64>(shortcut->modifierFlags) : std::nullopt);
}

bool SwitcherController::open() {
    m_list = shownWindows(m_services.windows.windows(), m_services.settings);
    if (m_list.empty())
        return false;
    m_active = true;
    if (m_list.size() == 1)
        m_index = 0;
    else
        m_index = m_list.front().isActive ? 1 : 0;
    // A quick tap whose modifier is already let go switches at once: the strip would only be
    // painted to be taken away again, and the focus would wait for it.
    if (modifierReleased()) {
        showSelection();
        finish(true);
        return true;
    }
    m_services.sidebar.setPeeking(true);
    m_services.sidebar.applyVisibility(true);
    installMonitors();
    showSelection();
    // The monitors hear of releases from now on; one that came meanwhile shows only in the keys
    // held now.
    if (modifierReleased())
        finish(true);
    return true;
}

bool SwitcherController::modifierReleased() const {
    EventMonitors* monitors = m_services.monitors;
    if (!monitors)
        return false;
    const quint64 mask = currentReleaseMask();
    return (monitors->currentModifierFlags() & mask) != mask;
}

void SwitcherController::showSelection() {
    std::optional<uint32_t> id;
    if (m_index >= 0 && m_index < int(m_list.size()))
        id = m_list[size_t(m_index)].windowID;
    m_services.sidebar.model().setSelectionID(id);
}

void SwitcherController::installMonitors() {
    if (KeyGrabs* grabs = m_services.keyGrabs)
        m_keyGrab = grabs->grabKeys(answeredKeys(currentShortcut()));
    if (EventMonitors* monitors = m_services.monitors) {
        QPointer<SwitcherController> self(this);
        auto flagsChanged = [self](const MonitoredEvent& event) {
            if (self)
                self->handleFlagsChanged(event);
        };
        auto keyDown = [self](const MonitoredEvent& event) {
            if (self)
                self->handleKeyDown(event);
        };
        auto keep = [this](std::optional<EventMonitors::Handle> handle) {
            if (handle)
                m_monitors.push_back(*handle);
        };
        keep(monitors->addGlobalMonitor(EventMask::flagsChanged, flagsChanged));
        keep(monitors->addLocalMonitor(EventMask::flagsChanged, flagsChanged));
        keep(monitors->addGlobalMonitor(EventMask::keyDown, keyDown));
        keep(monitors->addLocalMonitor(EventMask::keyDown, keyDown));
    }
    ++m_session;
    expire(m_session);
}

void SwitcherController::removeMonitors() {
    if (m_keyGrab && m_services.keyGrabs)
        m_services.keyGrabs->releaseKeys(*m_keyGrab);
    m_keyGrab.reset();
    if (EventMonitors* monitors = m_services.monitors) {
        for (EventMonitors::Handle handle : m_monitors)
            monitors->removeMonitor(handle);
    }
    m_monitors.clear();
}

QCoro::Task<void> SwitcherController::expire(int session) {
    QPointer<SwitcherController> self(this);
    // The timeout counts from the opening, not from the last press, and is never cancelled: the
    // session number keeps it from closing a later opening.
    co_await m_services.scheduler.sleep(Seconds(timeoutSeconds));
    if (self && self->m_session == session)
        self->finish(false);
}

void SwitcherController::handleFlagsChanged(const MonitoredEvent& event) {
    if (!m_active)
        return;
    const quint64 mask = currentReleaseMask();
    if ((event.modifierFlags & mask) != mask)
        finish(true);
}

void SwitcherController::handleKeyDown(const MonitoredEvent& event) {
    if (m_active && event.keyCode == escapeKeyCode)
        finish(false);
}

void SwitcherController::finish(bool commit) {
    if (!m_active)
        return;
    m_active = false;
    removeMonitors();
    std::optional<WindowInfo> chosen;
    if (m_index >= 0 && m_index < int(m_list.size()))
        chosen = m_list[size_t(m_index)];
    m_services.sidebar.model().setSelectionID(std::nullopt);
    m_services.sidebar.setPeeking(false);
    m_services.sidebar.applyVisibility(true);
    if (commit && chosen && m_services.focusWindow)
        m_services.focusWindow(*chosen);
}

std::optional<SwitcherController::Shortcut> SwitcherController::currentShortcut() const {
    return m_services.shortcut ? m_services.shortcut() : std::nullopt;
}

} // namespace corvane
