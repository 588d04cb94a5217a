#include "settings/HotkeySettings.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/Registry.h"
#include "platform/Platform.h"
#include "settings/FormSection.h"
#include "settings/SettingsServices.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

HotkeySettings::HotkeySettings(const SettingsServices& services, QWidget* parent)
    : SettingsPage(SettingsTab::hotkeys, parent), m_services(services) {
    const ShortcutKit::RecorderServices recorderServices = ShortcutKit::RecorderServices::standard(
        services.shortcuts, services.notifications, *services.platform.host);
    const auto addRecorder = [&](FormSection& section, const QString& label, const ShortcutKit::Name& name) {
        // The title, with a note under it while the desktop refuses the shortcut.
        auto* titles = new QWidget;
        auto* lines = new QVBoxLayout(titles);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(1);
        auto* title = new QLabel(label);
        title->setTextFormat(Qt::PlainText);
        lines->addWidget(title);
        auto* note = new QLabel;
        note->setObjectName(name.rawValue + QStringLiteral("_refusal"));
        note->setTextFormat(Qt::PlainText);
        QFont small = note->font();
        small.setPixelSize(11);
        note->setFont(small);
        QPalette warning = note->palette();
        warning.setColor(QPalette::WindowText, QColor(200, 90, 0));
        note->setPalette(warning);
        note->hide();
        lines->addWidget(note);
        m_refusalNotes.push_back({name, note});

        auto* recorder = new ShortcutKit::Recorder(recorderServices, titles, name);
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

    connect(&m_services.shortcuts, &ShortcutKit::Registry::registrationsChanged, this,
            &HotkeySettings::showRefusals);
    showRefusals();
}

QString HotkeySettings::refusalText(HotKeys::Refusal refusal) {
    switch (refusal) {
    case HotKeys::Refusal::heldByAnotherProgram:
        return QStringLiteral("Held by another program: this shortcut does nothing");
    case HotKeys::Refusal::heldByOwnKeyTap:
        return QStringLiteral("Held by Corvane’s volume & brightness display: this shortcut does nothing");
    case HotKeys::Refusal::notOnThisKeyboard:
        return QStringLiteral("Not on this keyboard: this shortcut does nothing");
    case HotKeys::Refusal::failed:
        break;
    }
    return QStringLiteral("Could not be registered: this shortcut does nothing");
}

void HotkeySettings::showRefusals() {
    for (const auto& [name, note] : m_refusalNotes) {
        const std::optional<HotKeys::Refusal> refusal = m_services.shortcuts.refusal(name);
        note->setText(refusal ? refusalText(*refusal) : QString());
        note->setVisible(refusal.has_value());
    }
}

QLabel* HotkeySettings::refusalNote(const QString& rawName) const {
    for (const auto& [name, note] : m_refusalNotes)
        if (name.rawValue == rawName)
            return note;
    return nullptr;
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
