#include "app/TrayStatusItems.h"

namespace corvane {

void TrayStatusItems::addItem(const QString& identifier, const QIcon& icon, const QString& toolTip,
                              std::function<void()> onClick, std::function<void()>) {
    auto item = std::make_unique<QSystemTrayIcon>(icon);
    item->setToolTip(toolTip);
    connect(item.get(), &QSystemTrayIcon::activated, this,
            [onClick = std::move(onClick)](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && onClick)
                    onClick();
            });
    item->show();
    m_items[identifier] = std::move(item);
}

void TrayStatusItems::removeItem(const QString& identifier) {
    m_items.erase(identifier);
}

} // namespace corvane
