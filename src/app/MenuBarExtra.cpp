#include "app/MenuBarExtra.h"

#include "app/AppState.h"
#include "app/MenuBarIcon.h"
#include "app/MenuBarMenu.h"
#include "core/SettingKeys.h"
#include "core/Settings.h"
#include "platform/Platform.h"

namespace corvane {

MenuBarExtra::MenuBarExtra(AppState& state) : m_state(state), m_menu(std::make_unique<MenuBarMenu>(state)) {
    onSettingChange(
        m_state.settings(), this, [this] { sync(); }, SettingKeys::showMenuBarIcon);
    sync();
}

MenuBarExtra::~MenuBarExtra() {
    // The icon goes before the menu it opens.
    m_icon.reset();
}

void MenuBarExtra::sync() {
    if (!m_state.settings().showMenuBarIcon()) {
        m_icon.reset();
        return;
    }
    if (m_icon)
        return;
    m_icon = m_state.platform().tray->makeIcon(QStringLiteral("corvane"));
    m_icon->setIcon(menuBarTemplateImage());
    m_icon->setToolTip(QStringLiteral("Corvane"));
    m_icon->setMenu(m_menu.get());
    // Queued: the preference's change removes the icon, which must not go inside its own signal.
    connect(
        m_icon.get(), &TrayIcon::hidden, this,
        [this](TrayIcon::HideReason reason) {
            if (reason == TrayIcon::HideReason::removedByUser)
                m_state.settings().setShowMenuBarIcon(false);
        },
        Qt::QueuedConnection);
}

} // namespace corvane
