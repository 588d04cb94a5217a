#pragma once

#include "platform/Tray.h"
#include "runtime/Scheduler.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace corvane {

class UserDefaults;

// Removes saved status-item positions left by items that ran without a name of their own: keys
// that begin with "NSStatusItem" and contain " Item-". The named items' positions stay.
void purgeStaleStatusItemDefaults(UserDefaults& defaults);

// The product's extra tray icons besides its main one, each under a short identifier ("awake",
// "clipboard", "files"). An owner makes its item when its setting turns on, gives it a picture,
// tool tip and menu, and removes it when the setting turns off:
//
//     TrayIcon& item = statusItems.makeStatusItem("clipboard", [&] { settings.setShowClipboardIcon(false);
//     }); item.setIcon(...); item.setMenu(&menu);
//     ...
//     statusItems.removeStatusItem("clipboard");
//
// The removal handler runs when the user takes the icon away; it switches the owner's setting
// off, and the owner then removes the item. An icon that vanishes within 3 seconds of being made
// was hidden by the desktop (no tray host runs): that sets `statusItemsHiddenBySystem` and leaves
// the item and its setting alone. So does a tray host that quits later. Main thread only.
class StatusItems : public QObject {
    Q_OBJECT
public:
    using RemovalHandler = std::function<void()>;

    StatusItems(Tray& tray, Scheduler& scheduler);
    ~StatusItems() override;

    // A new item in the tray, owned here. An item made earlier under the same identifier goes, with
    // its handler. The reference holds until `removeStatusItem` or the next `makeStatusItem` for
    // the identifier.
    TrayIcon& makeStatusItem(const QString& identifier, RemovalHandler removalHandler);
    // Takes the item out of the tray at its owner's request, without calling its removal handler.
    // An identifier without an item is ignored.
    void removeStatusItem(const QString& identifier);
    // The item made under the identifier, or null.
    TrayIcon* statusItem(const QString& identifier) const;

    // Set the first time the desktop hides one of these items right after it was made; never
    // cleared during the run.
    bool statusItemsHiddenBySystem() const { return m_hiddenBySystem; }

Q_SIGNALS:
    void statusItemsHiddenBySystemChanged();

private:
    struct Entry {
        std::unique_ptr<TrayIcon> item;
        RemovalHandler removalHandler;
    };
    void statusItemVisibilityChanged(const QString& identifier, TrayIcon::HideReason reason);
    void itemHidden(const QString& identifier, TrayIcon::HideReason reason);

    Tray& m_tray;
    Scheduler& m_scheduler;
    std::map<QString, Entry> m_items;
    std::map<QString, Instant> m_creationDates;
    // Hides wait for the next turn, so that an owner may delete the item from its handler.
    std::map<QString, TimerHandle> m_pendingHides;
    bool m_hiddenBySystem = false;
};

} // namespace corvane
