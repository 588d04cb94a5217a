#include "app/TrayStatusItems.h"

#include <QSystemTrayIcon>

namespace corvane {

namespace {

class TrayStatusItem final : public StatusItem {
public:
    explicit TrayStatusItem(const QString& id) {
        m_icon.setObjectName(QStringLiteral("corvane.") + id);
        m_icon.setVisible(true);
    }
    void setIcon(const QIcon& icon) override { m_icon.setIcon(icon); }
    void setToolTip(const QString& text) override { m_icon.setToolTip(text); }
    void setMenu(QMenu* menu) override { m_icon.setContextMenu(menu); }

private:
    QSystemTrayIcon m_icon;
};

} // namespace

std::unique_ptr<StatusItem> TrayStatusItems::makeStatusItem(const QString& id, std::function<void()>) {
    return std::make_unique<TrayStatusItem>(id);
}

} // namespace corvane
