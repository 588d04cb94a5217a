#include "settings/PermissionSettings.h"

#include "core/PermissionManager.h"
#include "core/SystemHelpers.h"
#include "platform/SystemShell.h"
#include "settings/FormSection.h"
#include "settings/LidPermissionRow.h"
#include "settings/PermissionHelpWindow.h"
#include "settings/PermissionStatusRow.h"
#include "settings/PermissionTitles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace corvane {

PermissionSettings::PermissionSettings(PermissionManager& permissions, SystemShell& shell,
                                       ApplicationHost& host, bool lidHoldOffered,
                                       std::function<void()> showWelcome, QWidget* parent)
    : SettingsPage(SettingsTab::permissions, parent), m_permissions(permissions) {
    FormSection& required = *addSection(QStringLiteral("Required"));
    // There is no prompt to raise: the user is sent to where the permission is given, or told what
    // gives it where the desktop has no such place.
    m_accessibility =
        new PermissionStatusRow(windowManagerPermissionTitle(),
                                QStringLiteral("Focus, move and resize windows; snap wheel and hotkeys."),
                                permissions.accessibilityGranted(), [this, &permissions] {
                                    askForPermission(permissions, false, *this, m_accessibilityHelp);
                                });
    m_screenRecording = new PermissionStatusRow(
        compositePermissionTitle(), QStringLiteral("Live thumbnails and window titles."),
        permissions.screenRecordingGranted(),
        [this, &permissions] { askForPermission(permissions, true, *this, m_screenRecordingHelp); });
    required.addRow(m_accessibility);
    required.addRow(m_screenRecording);
    connect(&permissions, &PermissionManager::accessibilityGrantedChanged, m_accessibility,
            &PermissionStatusRow::setGranted);
    connect(&permissions, &PermissionManager::screenRecordingGrantedChanged, m_screenRecording,
            &PermissionStatusRow::setGranted);

    m_lidClosed = addSection(QStringLiteral("Optional \u2014 Keep Awake \u201CLid closed\u201D"));
    m_lidClosed->addRow(new LidPermissionRow(lidHoldOffered));

    FormSection& more = *addSection();
    auto* relaunchRow = new QWidget;
    auto* relaunchLayout = new QHBoxLayout(relaunchRow);
    relaunchLayout->setContentsMargins(0, 0, 0, 0);
    relaunchLayout->addWidget(captionLabel(QStringLiteral(
                                  "Granted a permission but thumbnails don't show? Some changes take effect "
                                  "after a relaunch.")),
                              1);
    auto* relaunch = new QPushButton(QStringLiteral("Relaunch Corvane"));
    connect(relaunch, &QPushButton::clicked, this, [&shell, &host] { relaunchApp(shell, host); });
    relaunchLayout->addWidget(relaunch, 0, Qt::AlignRight | Qt::AlignVCenter);
    more.addRow(relaunchRow);
    auto* welcome = new QPushButton(QStringLiteral("Show Welcome Screen"));
    welcome->setObjectName(QStringLiteral("showWelcomeScreen"));
    connect(welcome, &QPushButton::clicked, this, [showWelcome = std::move(showWelcome)] { showWelcome(); });
    auto* welcomeRow = new QWidget;
    auto* welcomeLayout = new QHBoxLayout(welcomeRow);
    welcomeLayout->setContentsMargins(0, 0, 0, 0);
    welcomeLayout->addWidget(welcome, 0, Qt::AlignLeft);
    more.addRow(welcomeRow);
}

void PermissionSettings::showEvent(QShowEvent* event) {
    SettingsPage::showEvent(event);
    // A fresh reading at once, unless one is already under way.
    m_permissions.pollTick();
}

} // namespace corvane
