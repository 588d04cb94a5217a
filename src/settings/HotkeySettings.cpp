#include "settings/HotkeySettings.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/Registry.h"
#include "platform/Platform.h"
#include "settings/FormSection.h"
#include "settings/SettingsServices.h"

#include <QPushButton>

namespace corvane {

HotkeySettings::HotkeySettings(const SettingsServices& services, QWidget* parent)
    : SettingsPage(SettingsTab::hotkeys, parent), m_services(services) {
    const ShortcutKit::RecorderServices recorderServices = ShortcutKit::RecorderServices::standard(
        services.shortcuts, services.notifications, *services.platform.host);
    const auto addRecorder = [&](FormSection& section, const QString& label, const ShortcutKit::Name& name) {
        auto* recorder = new ShortcutKit::Recorder(recorderServices, label, name);
        recorder->setObjectName(name.rawValue);
        section.addRow(recorder);
        m_recorders.push_back(recorder);
    };

    FormSection& sidebar = *addSection(QStringLiteral("Sidebar"));
    addRecorder(sidebar, QStringLiteral("Show / hide sidebar"), AppShortcuts::toggleSidebar());
    addRecorder(sidebar, QStringLiteral("Save current windows as workspace"), AppShortcuts::saveWorkspace());
    addRecorder(sidebar, QStringLiteral("Window switcher"), AppShortcuts::windowSwitcher());
    addRecorder(sidebar, QStringLiteral("Clipboard history"), AppShortcuts::clipboardHistory());

    FormSection& snapping = *addSection(QStringLiteral("Snapping"));
    for (const AppShortcuts::SnapActionEntry& entry : AppShortcuts::snapActionEntries())
        addRecorder(snapping, entry.title, entry.name);

    FormSection& workspaces = *addSection(QStringLiteral("Workspaces"));
    const auto& slots = AppShortcuts::restoreWorkspaceNames();
    for (size_t i = 0; i < slots.size(); ++i)
        addRecorder(workspaces, QStringLiteral("Restore workspace %1").arg(i + 1), slots[i]);

    FormSection& actions = *addSection();
    m_reset = new QPushButton(QStringLiteral("Reset All to Defaults"));
    m_reset->setAutoDefault(false);
    connect(m_reset, &QPushButton::clicked, this, &HotkeySettings::resetAllToDefaults);
    actions.addRow(m_reset);
}

ShortcutKit::Recorder* HotkeySettings::recorder(const QString& rawName) const {
    for (ShortcutKit::Recorder* recorder : m_recorders)
        if (recorder->objectName() == rawName)
            return recorder;
    return nullptr;
}

void HotkeySettings::resetAllToDefaults() {
    // At once and without asking; every recorder on the page follows the store's announcements.
    m_services.shortcuts.reset(AppShortcuts::allNames());
}

} // namespace corvane
