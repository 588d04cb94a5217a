#pragma once

#include <QIcon>
#include <QString>

#include <functional>

namespace corvane {

// The desktop's status area as the clipboard strip uses it: one item per identifier.
class StatusItemHost {
public:
    virtual ~StatusItemHost() = default;

    // Shows an item; `onClick` runs when it is clicked, `onRemoved` when the user takes it away.
    virtual void addItem(const QString& identifier, const QIcon& icon, const QString& toolTip,
                         std::function<void()> onClick, std::function<void()> onRemoved) = 0;
    // Takes the item away without running its removal callback.
    virtual void removeItem(const QString& identifier) = 0;
};

} // namespace corvane
