#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

class QMenu;

namespace corvane {

// One status item in the panel's tray. It stays while this object lives; destroying it removes
// the item without counting as a removal by the user.
class StatusItem {
public:
    virtual ~StatusItem() = default;
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& text) = 0;
    // The menu the item opens; the caller keeps it alive while the item shows it.
    virtual void setMenu(QMenu* menu) = 0;
};

// Makes status items under an identifier ("awake", "clipboard"); `removedByUser` runs when the
// user takes the item out of the tray.
class StatusItemHost {
public:
    virtual ~StatusItemHost() = default;
    virtual std::unique_ptr<StatusItem> makeStatusItem(const QString& id,
                                                       std::function<void()> removedByUser) = 0;
};

} // namespace corvane
