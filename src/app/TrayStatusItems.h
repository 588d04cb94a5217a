#pragma once

#include "clipboard/StatusItemHost.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <map>
#include <memory>

namespace corvane {

// Status items as icons of the desktop's tray, one per identifier. The tray offers no way for
// the user to take an item away, so removal callbacks never run here.
class TrayStatusItems final : public QObject, public StatusItemHost {
    Q_OBJECT
public:
    void addItem(const QString& identifier, const QIcon& icon, const QString& toolTip,
                 std::function<void()> onClick, std::function<void()> onRemoved) override;
    void removeItem(const QString& identifier) override;
    bool hasItem(const QString& identifier) const { return m_items.count(identifier) > 0; }

private:
    std::map<QString, std::unique_ptr<QSystemTrayIcon>> m_items;
};

} // namespace corvane
