#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace corvane {

class PermissionManager;

// A small window that says what a missing permission needs on this desktop and how the user gets
// it, for the "Allow…" of a permission the desktop has no prompt or settings for. "Check Again"
// probes at once; the window closes by itself once the permission is granted, and otherwise says
// that it is still missing.
class PermissionHelpWindow : public QWidget {
    Q_OBJECT
public:
    // `screenRecording` false: window access.
    PermissionHelpWindow(PermissionManager& permissions, bool screenRecording, QWidget* parent = nullptr);

    QLabel& explanationLabel() const { return *m_explanation; }
    QLabel& statusLabel() const { return *m_status; }
    QPushButton& checkAgainButton() const { return *m_checkAgain; }

private:
    bool granted() const;
    void checked();
    void showExplanation(const QString& text);

    PermissionManager& m_permissions;
    bool m_screenRecording;
    bool m_waiting = false;
    QLabel* m_explanation = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_checkAgain = nullptr;
};

// What "Allow…" does: asks the desktop for the permission where it can, else shows the window
// above (one at a time in `shown`, brought to the front when asked again) over `owner`'s window.
void askForPermission(PermissionManager& permissions, bool screenRecording, QWidget& owner,
                      QPointer<PermissionHelpWindow>& shown);

} // namespace corvane
