#include "app/MenuBarExtra.h"

#include "app/AppState.h"
#include "app/MenuBarIcon.h"
#include "app/MenuBarMenu.h"
#include "core/Settings.h"

namespace corvane {

MenuBarExtra::MenuBarExtra(AppState& state) : m_state(state), m_menu(std::make_unique<MenuBarMenu>(state)) {
    m_icon = std::make_unique<QSystemTrayIcon>(menuBarTemplateImage());
    m_icon->setToolTip(QStringLiteral("Corvane"));
    m_icon->setContextMenu(m_menu.get());
    connect(&m_state.settings(), &Settings::changed, this, [this](const QString& key) {
        if (key == QLatin1String("showMenuBarIcon"))
            sync();
    });
    sync();
}

MenuBarExtra::~MenuBarExtra() = default;

bool MenuBarExtra::isInserted() const {
    return m_icon->isVisible();
}

void MenuBarExtra::sync() {
    m_icon->setVisible(m_state.settings().showMenuBarIcon());
}

} // namespace corvane
