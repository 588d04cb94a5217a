#include "settings/GeneralSettings.h"

#include "core/LaunchAtLogin.h"
#include "core/ScreenHelpers.h"
#include "core/StatusItems.h"
#include "core/Updater.h"
#include "platform/ApplicationHost.h"
#include "platform/Screens.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundPicker.h"
#include "settings/BoundRow.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"
#include "settings/ValueToggle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace corvane {

namespace Keys = SettingKeys;

namespace {

template <size_t N>
Choices<qint64> percentChoices(const SettingValues<qint64, N>& values, const QString& zeroLabel = {}) {
    return labelled(values, [&zeroLabel](qint64 value) {
        return value == 0 && !zeroLabel.isEmpty() ? zeroLabel : QStringLiteral("%1%").arg(value);
    });
}

// A caption on the leading side and a button on the trailing side.
QWidget* captionWithButton(QLabel* caption, QPushButton* button) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption, 1);
    layout->addWidget(button, 0, Qt::AlignRight | Qt::AlignVCenter);
    return row;
}

} // namespace

GeneralSettings::GeneralSettings(Settings& settings, Services services, QWidget* parent)
    : SettingsPage(SettingsTab::general, parent), m_settings(settings), m_services(services) {
    addStartup();
    addSidebar();
    addUpdates();
    addTrayIcons();
    addVolumeAndBrightness();
    FormSection& workspaces = *addSection(QStringLiteral("Workspaces"));
    workspaces.addRow(new BoundToggle(settings, Keys::hideOthersOnRestore,
                                      QStringLiteral("Hide other apps when restoring a workspace")));
}

void GeneralSettings::addStartup() {
    LaunchAtLogin& launch = m_services.launchAtLogin;
    FormSection& startup = *addSection(QStringLiteral("Startup"));
    m_launchAtLogin = new ValueToggle(
        QStringLiteral("Start Corvane at login"), QString(), [&launch] { return launch.isEnabled(); },
        [&launch](bool on) { launch.setEnabled(on); });
    startup.addRow(m_launchAtLogin);
    m_launchError = new QLabel;
    m_launchError->setTextFormat(Qt::PlainText);
    m_launchError->setWordWrap(true);
    QFont caption = m_launchError->font();
    caption.setPixelSize(11);
    m_launchError->setFont(caption);
    QPalette red = m_launchError->palette();
    red.setColor(QPalette::WindowText, QColor(0xE0, 0x30, 0x30));
    m_launchError->setPalette(red);
    m_launchErrorRow = startup.addRow(m_launchError);
    connect(&launch, &LaunchAtLogin::changed, this, [this] { showLaunchAtLogin(); });
    showLaunchAtLogin();

    // No "Show Dock icon" row: there is no Dock here. The stored choice stays as it is.
    startup.addRow(new BoundToggle(
        m_settings, Keys::showMenuBarIcon, QStringLiteral("Show Corvane icon in the system tray"),
        QStringLiteral("When hidden, start Corvane again (from your applications menu) to reach Settings.")));
    startup.addRow(new BoundToggle(m_settings, Keys::showSettingsOnLaunch,
                                   QStringLiteral("Open Settings when Corvane is launched manually")));
}

void GeneralSettings::showLaunchAtLogin() {
    m_launchAtLogin->refresh();
    const std::optional<QString>& error = m_services.launchAtLogin.lastError();
    m_launchError->setText(error.value_or(QString()));
    m_launchErrorRow->setVisible(error.has_value());
}

void GeneralSettings::addSidebar() {
    FormSection& sidebar = *addSection(QStringLiteral("Sidebar"));
    sidebar.addRow(new BoundToggle(m_settings, Keys::sidebarEnabled, QStringLiteral("Show sidebar")));
    sidebar.addRow(QStringLiteral("Screen edge"),
                   new BoundPicker(m_settings, Keys::sidebarEdge,
                                   Choices<SidebarEdge>{{SidebarEdge::left, QStringLiteral("Left")},
                                                        {SidebarEdge::right, QStringLiteral("Right")}}));
    sidebar.addRow(QStringLiteral("Display"),
                   new BoundComboBox(m_settings, Keys::sidebarDisplay,
                                     Choices<SidebarDisplay>{
                                         {SidebarDisplay::main, QStringLiteral("Main display")},
                                         {SidebarDisplay::mouse, QStringLiteral("Display with mouse")},
                                         {SidebarDisplay::specific, QStringLiteral("Specific display")}}));
    // One option per connected screen; a stored screen that is not connected matches none and
    // keeps its value until another is chosen. A screen plugged in or out later changes the
    // options at once: the picker is made again from the new list.
    auto* whichHolder = new QWidget;
    auto* whichLayout = new QHBoxLayout(whichHolder);
    whichLayout->setContentsMargins(0, 0, 0, 0);
    const auto makeDisplayPicker = [this, whichLayout] {
        Choices<QString> screens;
        for (const ScreenInfo& screen : m_services.screens.screens())
            screens.emplace_back(displayUUID(screen), screen.name);
        auto* picker = new BoundComboBox(m_settings, Keys::specificDisplayID, screens);
        whichLayout->addWidget(picker);
        // Shown now rather than on the layout's next turn: its row decides whether it is seen.
        picker->show();
        return picker;
    };
    QPointer<BoundComboBox> picker = makeDisplayPicker();
    connect(&m_services.screens, &Screens::screensChanged, whichHolder,
            [picker, makeDisplayPicker]() mutable {
                delete picker.data();
                picker = makeDisplayPicker();
            });
    QWidget* which = sidebar.addRow(QStringLiteral("Which display"), whichHolder);
    showWhile(m_settings, which, [this] { return m_settings.sidebarDisplay() == SidebarDisplay::specific; });
    sidebar.addRow(new BoundToggle(
        m_settings, Keys::autoHide, QStringLiteral("Auto-hide"),
        QStringLiteral("Slides in when the mouse touches the screen edge, slides out when it leaves.")));
    QWidget* fullscreen = sidebar.addRow(new BoundToggle(
        m_settings, Keys::autoHideInFullscreen, QStringLiteral("Auto-hide over fullscreen apps"),
        QStringLiteral(
            "Even with auto-hide off, the strip tucks away in fullscreen and slides in at the edge.")));
    enableWhile(m_settings, fullscreen, [this] { return !m_settings.autoHide(); });
    sidebar.addRow(
        QStringLiteral("Show windows from"),
        new BoundComboBox(
            m_settings, Keys::windowScope,
            Choices<WindowScope>{{WindowScope::allDisplays, QStringLiteral("All displays")},
                                 {WindowScope::sidebarDisplay, QStringLiteral("Sidebar's display only")}}));
}

void GeneralSettings::addUpdates() {
    // The package manager brings updates, so the two automatic-update switches would act on
    // nothing and are left out; "Check Now" says where updates come from.
    FormSection& updates = *addSection(QStringLiteral("Updates"));
    auto* checkNow = new QPushButton(QStringLiteral("Check Now"));
    checkNow->setObjectName(QStringLiteral("checkNow"));
    connect(checkNow, &QPushButton::clicked, this, [this] {
        m_services.host.activate();
        m_services.updater.checkForUpdates();
    });
    updates.addRow(captionWithButton(captionLabel(QStringLiteral("Never checked")), checkNow));
}

void GeneralSettings::addTrayIcons() {
    FormSection& icons = *addSection(QStringLiteral("System tray icons"));
    icons.addRow(new BoundToggle(m_settings, Keys::showMenuBarIcon,
                                 QStringLiteral("Corvane (sidebar, workspaces, settings)")));
    icons.addRow(new BoundToggle(m_settings, Keys::showFilesIcon, QStringLiteral("Files & Tray")));
    // On only while the history itself is on too; switching it on turns the history on,
    // switching it off leaves the history alone.
    m_clipboardIcon = new ValueToggle(
        QStringLiteral("Clipboard history"), QString(),
        [this] { return m_settings.showClipboardIcon() && m_settings.clipboardEnabled(); },
        [this](bool on) {
            m_settings.setShowClipboardIcon(on);
            if (on)
                m_settings.setClipboardEnabled(true);
        });
    icons.addRow(m_clipboardIcon);
    onSettingChange(
        m_settings, m_clipboardIcon, [this] { m_clipboardIcon->refresh(); }, Keys::showClipboardIcon,
        Keys::clipboardEnabled);
    icons.addRow(new BoundToggle(m_settings, Keys::showAwakeIcon, QStringLiteral("Keep Awake")));
    icons.addRow(captionLabel(QStringLiteral("Hide just one icon by switching it off here.")));

    StatusItems& items = m_services.statusItems;
    m_hiddenWarning = icons.addRow(warningLabel(
        QStringLiteral("No system tray was running when Corvane put up its icons. If none runs yet, add one "
                       "(the notification area) to your panel: the icons appear as soon as one starts.")));
    showWhile(m_settings, m_hiddenWarning, [&items] { return items.statusItemsHiddenBySystem(); });
    connect(&items, &StatusItems::statusItemsHiddenBySystemChanged, this, [this] { refreshBoundRows(this); });
}

void GeneralSettings::addVolumeAndBrightness() {
    FormSection& display = *addSection(QStringLiteral("Volume & brightness"));
    display.addRow(
        new BoundToggle(m_settings, Keys::notchHUD, QStringLiteral("Volume & brightness display"),
                        QStringLiteral("Volume, mute and brightness keys show a sleek bar at the top of the "
                                       "screen instead of the desktop's own popup.")));
    const auto whileShown = [this] { return m_settings.notchHUD(); };
    showWhile(m_settings,
              display.addRow(QStringLiteral("Volume step"),
                             new BoundComboBox(m_settings, Keys::volumeStepPercent,
                                               percentChoices(SettingRanges::volumeStepPercent))),
              whileShown);
    showWhile(m_settings,
              display.addRow(QStringLiteral("Brightness step"),
                             new BoundComboBox(m_settings, Keys::brightnessStepPercent,
                                               percentChoices(SettingRanges::brightnessStepPercent))),
              whileShown);
    showWhile(m_settings,
              display.addRow(QStringLiteral("Lowest brightness"),
                             new BoundComboBox(m_settings, Keys::minBrightnessPercent,
                                               percentChoices(SettingRanges::minBrightnessPercent,
                                                              QStringLiteral("Off (can go dark)")))),
              whileShown);
    showWhile(m_settings,
              display.addRow(captionLabel(QStringLiteral(
                  "6% is the usual step. Hold Alt+Shift while pressing the keys for 1% steps."))),
              whileShown);
}

void GeneralSettings::showEvent(QShowEvent* event) {
    SettingsPage::showEvent(event);
    // The login entry may have been changed outside; show what it is now.
    m_services.launchAtLogin.refresh();
}

} // namespace corvane
