#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace corvane {

// One permission on the Permissions page: a status mark (a green check when granted, a red cross
// when not), its name and what it is for, and an "Allow…" button that runs `action` while the
// permission is missing.
class PermissionStatusRow : public QWidget {
    Q_OBJECT
public:
    PermissionStatusRow(const QString& title, const QString& detail, bool granted,
                        std::function<void()> action, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    bool isGranted() const { return m_granted; }
    void setGranted(bool granted);

    QPushButton& allowButton() const { return *m_allow; }
    QLabel& statusMark() const { return *m_status; }
    // The symbol the status mark shows now.
    QString statusSymbol() const;

private:
    void showStatus();

    QString m_title;
    bool m_granted;
    std::function<void()> m_action;
    QLabel* m_status = nullptr;
    QPushButton* m_allow = nullptr;
};

} // namespace corvane
