#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QPushButton;

namespace corvane {

// A hint under the permission rows: an orange symbol, one line of text, and a small button on the
// trailing side that runs `action`.
class OnboardingTip : public QWidget {
    Q_OBJECT
public:
    OnboardingTip(const QString& symbol, const QString& text, const QString& buttonTitle,
                  std::function<void()> action, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QPushButton& button() const { return *m_button; }

private:
    QString m_text;
    QPushButton* m_button = nullptr;
};

} // namespace corvane
