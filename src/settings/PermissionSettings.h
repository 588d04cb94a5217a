#pragma once

#include "settings/PermissionHelpWindow.h"
#include "settings/SettingsPage.h"

#include <QPointer>

#include <functional>

namespace corvane {

class ApplicationHost;
class FormSection;
class PermissionManager;
class PermissionStatusRow;
class SystemShell;

// The "Permissions" page: whether the product may read and move windows and capture them, with a
// way to ask for each that is missing; the optional lid-closed permission; a relaunch, and the way
// back to the welcome screen. Each time it comes on screen it asks for a fresh reading.
class PermissionSettings : public SettingsPage {
    Q_OBJECT
public:
    // `lidHoldOffered`: whether a login service can hold the lid (the lid-closed row says so).
    PermissionSettings(PermissionManager& permissions, SystemShell& shell, ApplicationHost& host,
                       bool lidHoldOffered, std::function<void()> showWelcome, QWidget* parent = nullptr);

    PermissionStatusRow& accessibilityRow() const { return *m_accessibility; }
    PermissionStatusRow& screenRecordingRow() const { return *m_screenRecording; }
    // The section of the lid-closed permission row.
    FormSection& lidClosedSection() const { return *m_lidClosed; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    PermissionManager& m_permissions;
    PermissionStatusRow* m_accessibility = nullptr;
    PermissionStatusRow* m_screenRecording = nullptr;
    FormSection* m_lidClosed = nullptr;
    QPointer<PermissionHelpWindow> m_accessibilityHelp;
    QPointer<PermissionHelpWindow> m_screenRecordingHelp;
};

} // namespace corvane
