#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace corvane {

// One permission on the onboarding window: its picture, name and what it is for, and on the
// trailing side either a green check (granted) or an "Allow…" button that runs `action`.
class PermissionRow : public QWidget {
    Q_OBJECT
public:
    PermissionRow(const QString& symbol, const QString& title, const QString& detail, bool granted,
                  std::function<void()> action, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    bool isGranted() const { return m_granted; }
    void setGranted(bool granted);

    QPushButton& allowButton() const { return *m_allow; }
    QLabel& grantedMark() const { return *m_mark; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    bool m_granted;
    std::function<void()> m_action;
    QPushButton* m_allow = nullptr;
    QLabel* m_mark = nullptr;
};

} // namespace corvane
