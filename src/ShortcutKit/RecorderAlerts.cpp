#include "ShortcutKit/RecorderAlerts.h"

#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace corvane::ShortcutKit {

namespace {
class MessageBoxAlerts final : public RecorderAlerts {
public:
    int showAlert(QWidget* window, const QString& message, const std::optional<QString>& informativeText,
                  const QStringList& buttons) override {
        QMessageBox box(window);
        box.setIcon(QMessageBox::Warning);
        box.setText(message);
        if (informativeText)
            box.setInformativeText(*informativeText);
        box.setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
        std::vector<QPushButton*> added;
        for (const QString& title : buttons)
            added.push_back(
                box.addButton(title, added.empty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
        if (added.empty()) {
            box.addButton(QMessageBox::Ok);
        } else {
            box.setDefaultButton(added.front());
            // Escape and closing the alert take the first, cautious answer, never a later one.
            box.setEscapeButton(added.front());
        }
        box.exec();
        for (std::size_t i = 0; i < added.size(); ++i)
            if (box.clickedButton() == added[i])
                return firstButton + static_cast<int>(i);
        // Closed without a button, or the single OK: the first button's answer.
        return firstButton;
    }
};
} // namespace

RecorderAlerts& RecorderAlerts::standard() {
    static MessageBoxAlerts alerts;
    return alerts;
}

} // namespace corvane::ShortcutKit
