#include "core/StatusItems.h"

#include "platform/UserDefaults.h"
#include "runtime/Log.h"

namespace corvane {
namespace {
// A hide this soon after the item appeared is the desktop's doing, not the user's.
constexpr Seconds systemHideWindow{3.0};
} // namespace

void purgeStaleStatusItemDefaults(UserDefaults& defaults) {
    for (const std::string& key : defaults.keys()) {
        if (key.starts_with("NSStatusItem") && key.find(" Item-") != std::string::npos)
            defaults.remove(key);
    }
}

StatusItems::StatusItems(Tray& tray, Scheduler& scheduler) : m_tray(tray), m_scheduler(scheduler) {}

StatusItems::~StatusItems() = default;

TrayIcon& StatusItems::makeStatusItem(const QString& identifier, RemovalHandler removalHandler) {
    m_pendingHides.erase(identifier);
    std::unique_ptr<TrayIcon> item = m_tray.makeIcon(QStringLiteral("corvane.") + identifier);
    TrayIcon& made = *item;
    // Replacing the entry drops an earlier item under this identifier, and its observation with it.
    m_items[identifier] = Entry{std::move(item), std::move(removalHandler)};
    m_creationDates[identifier] = m_scheduler.now();
    connect(&made, &TrayIcon::hidden, this, [this, identifier](TrayIcon::HideReason reason) {
        statusItemVisibilityChanged(identifier, reason);
    });
    // With no tray host the item never shows: that is a hide at the moment of creation.
    if (!made.isVisible())
        statusItemVisibilityChanged(identifier, TrayIcon::HideReason::hostUnavailable);
    return made;
}

void StatusItems::removeStatusItem(const QString& identifier) {
    m_pendingHides.erase(identifier);
    // The creation moment stays; the next item under the identifier overwrites it.
    m_items.erase(identifier);
}

TrayIcon* StatusItems::statusItem(const QString& identifier) const {
    const auto found = m_items.find(identifier);
    return found == m_items.end() ? nullptr : found->second.item.get();
}

void StatusItems::statusItemVisibilityChanged(const QString& identifier, TrayIcon::HideReason reason) {
    m_pendingHides[identifier] =
        m_scheduler.schedule(Seconds(0), [this, identifier, reason] { itemHidden(identifier, reason); });
}

void StatusItems::itemHidden(const QString& identifier, TrayIcon::HideReason reason) {
    m_pendingHides.erase(identifier);
    const auto created = m_creationDates.find(identifier);
    const bool early =
        created != m_creationDates.end() && m_scheduler.elapsedSince(created->second) < systemHideWindow;
    if (early) {
        if (!m_hiddenBySystem) {
            qCWarning(lcApp, "The desktop hides Corvane's tray icons (no tray is running)");
            m_hiddenBySystem = true;
            Q_EMIT statusItemsHiddenBySystemChanged();
        }
        return;
    }
    // A tray host that quits later takes every icon with it; the icons come back with the next
    // host, so the owners' settings stay as they are.
    if (reason != TrayIcon::HideReason::removedByUser)
        return;
    const auto entry = m_items.find(identifier);
    if (entry == m_items.end() || !entry->second.removalHandler)
        return;
    // The handler may remove the item: it runs on a copy.
    const RemovalHandler handler = entry->second.removalHandler;
    handler();
}

} // namespace corvane
