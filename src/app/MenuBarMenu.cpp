#include "app/MenuBarMenu.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/ShortcutNotifications.h"
#include "app/AppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "core/MenuText.h"
#include "core/PermissionManager.h"
#include "core/SettingKeys.h"
#include "core/Settings.h"
#include "core/Updater.h"
#include "settings/OnboardingWindowController.h"
#include "settings/SettingsWindowController.h"
#include "sidebar/SidebarController.h"
#include "snapping/SnapController.h"
#include "workspaces/WorkspaceManager.h"

#include <QKeySequence>

namespace corvane {

namespace {
// Item texts treat "&" as the mark of a mnemonic; names the user typed are shown as they are.
QString sidebarTitle(const Settings& settings) {
    if (settings.sidebarEnabled())
        return settings.autoHide() ? QStringLiteral("Reveal Sidebar") : QStringLiteral("Hide Sidebar");
    return QStringLiteral("Show Sidebar");
}
} // namespace

MenuBarMenu::MenuBarMenu(AppState& state, QWidget* parent)
    : QMenu(parent), m_state(state), m_arrange(new QMenu(tr("Arrange Windows"), this)) {
    for (const auto& [preset, raw] : EnumCases<LayoutPreset>::cases) {
        m_arrange->addAction(corvane::title(preset), this,
                             [this, preset = preset] { m_state.snap().tileScreen(preset); });
    }

    connect(this, &QMenu::aboutToShow, this, &MenuBarMenu::rebuild);
    onSettingChange(
        m_state.settings(), this, [this] { rebuild(); }, SettingKeys::autoHide, SettingKeys::sidebarEnabled,
        SettingKeys::clipboardEnabled);
    PermissionManager& permissions = m_state.permissions();
    connect(&permissions, &PermissionManager::accessibilityGrantedChanged, this, &MenuBarMenu::rebuild);
    connect(&permissions, &PermissionManager::screenRecordingGrantedChanged, this, &MenuBarMenu::rebuild);
    connect(&m_state.workspaces(), &WorkspaceManager::workspacesChanged, this, &MenuBarMenu::rebuild);
    // A workspace item shows the shortcut of its slot, which the user may record anew at any time.
    m_shortcutObserver = m_state.notifications().addObserver(ShortcutKit::shortcutByNameDidChange,
                                                             [this](const Notification&) { rebuild(); });
    rebuild();
}

MenuBarMenu::~MenuBarMenu() = default;

void MenuBarMenu::openSettings(SettingsTab tab) {
    m_state.settingsWindow().show(tab);
}

void MenuBarMenu::rebuild() {
    // The change that asks for a new list may come from inside an item's own action (the sidebar
    // item flips the preference it shows): the old items leave the menu now and are deleted only
    // once that action has returned.
    const QList<QAction*> old = actions();
    for (QAction* action : old) {
        removeAction(action);
        if (action->parent() == this)
            action->deleteLater();
    }

    addSidebarItem();
    addSeparator();
    addWorkspaceSection();
    addSeparator();
    if (m_state.settings().clipboardEnabled())
        addAction(tr("Clipboard History"), this, [this] { m_state.clipboardPanel().show(); });
    addMenu(m_arrange);
    addSeparator();
    addApplicationItems();
}

void MenuBarMenu::addSidebarItem() {
    addAction(sidebarTitle(m_state.settings()), this, [this] { m_state.sidebar().toggle(); });
}

void MenuBarMenu::addWorkspaceSection() {
    addSection(tr("Workspaces"));
    const std::vector<Workspace>& workspaces = m_state.workspaces().workspaces();
    if (workspaces.empty())
        addAction(tr("No workspaces yet"))->setEnabled(false);
    for (const Workspace& workspace : workspaces) {
        // Looked up again when chosen: the list may have changed since it was shown.
        addAction(workspaceTitle(workspace), this, [this, id = workspace.id] {
            if (const std::optional<Workspace> current = m_state.workspaces().workspace(id))
                m_state.restoreWorkspace(*current);
        });
    }
    addAction(tr("Save Current Windows as Workspace"), this, [this] { m_state.saveCurrentWindows(); });
}

QString MenuBarMenu::workspaceTitle(const Workspace& workspace) {
    QString text = literalMenuText(workspace.name);
    if (workspace.hotkeyIndex) {
        if (const std::optional<QString> shortcut =
                workspaceShortcutText(m_state.shortcuts(), *workspace.hotkeyIndex))
            text += QStringLiteral("    ") + literalMenuText(*shortcut);
    }
    return text;
}

void MenuBarMenu::addApplicationItems() {
    const PermissionManager& permissions = m_state.permissions();
    if (!permissions.accessibilityGranted() || !permissions.screenRecordingGranted())
        addAction(tr("Grant Permissions\u2026"), this, [this] { m_state.onboarding().show(); });

    QAction* settings = addAction(tr("Settings\u2026"), this, [this] { openSettings(SettingsTab::keep); });
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    addAction(tr("Check for Updates\u2026"), this, [this] { checkForUpdates(); });
    addAction(tr("About Corvane"), this, [this] { openSettings(SettingsTab::about); });
    addSeparator();
    QAction* quit = addAction(tr("Quit Corvane"), this, [this] { m_state.platform().host->terminate(); });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MenuBarMenu::checkForUpdates() {
    // The application comes to the front first, so that whatever the check shows is not hidden
    // behind other programs.
    m_state.platform().host->activate();
    m_state.updater().checkForUpdates();
}

} // namespace corvane
