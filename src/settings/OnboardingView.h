#pragma once

#include "settings/PermissionHelpWindow.h"
#include "settings/SettingsServices.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QPushButton;

namespace corvane {

class OnboardingTip;
class PermissionRow;

// The welcome screen's content: a greeting, the two permissions with their live state, the tips
// that apply, and the button that hands over to the settings. It follows the permission manager
// as its values change.
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    // `onDone` runs when the user presses the footer button (or Return).
    OnboardingView(const SettingsServices& services, std::function<void()> onDone, QWidget* parent = nullptr);

    PermissionRow& accessibilityRow() const { return *m_accessibility; }
    PermissionRow& screenRecordingRow() const { return *m_screenRecording; }
    OnboardingTip& stageManagerTip() const { return *m_stageManagerTip; }
    OnboardingTip& captureTip() const { return *m_captureTip; }
    QPushButton& doneButton() const { return *m_done; }

    static constexpr int side = 560;

Q_SIGNALS:
    // Both permissions have just become granted (not merely found granted when the view opened).
    void permissionsCompleted();

private:
    QWidget* makeHeader();
    QWidget* makeFooter();
    void requestAccessibility();
    void refresh();

    SettingsServices m_services;
    std::function<void()> m_onDone;
    PermissionRow* m_accessibility = nullptr;
    PermissionRow* m_screenRecording = nullptr;
    OnboardingTip* m_stageManagerTip = nullptr;
    OnboardingTip* m_captureTip = nullptr;
    QPushButton* m_done = nullptr;
    QPointer<PermissionHelpWindow> m_accessibilityHelp;
    QPointer<PermissionHelpWindow> m_screenRecordingHelp;
    bool m_bothGranted = false;
};

} // namespace corvane
