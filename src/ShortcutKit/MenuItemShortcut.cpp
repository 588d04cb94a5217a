#include "ShortcutKit/MenuItemShortcut.h"

#include "ShortcutKit/KeySequence.h"
#include "ShortcutKit/Registry.h"
#include "ShortcutKit/ShortcutNotifications.h"
#include "runtime/NotificationCenter.h"

#include <QAction>
#include <QPointer>

namespace corvane::ShortcutKit::MenuItemShortcut {

namespace {
// What an item bound to a name keeps: its own shortcut from before the name took over, and the
// observation of the name. A child of the item, so it goes with it.
class NameBinding final : public QObject {
public:
    static constexpr const char* objectNameText = "corvane_menuItemShortcutBinding";

    NameBinding(QAction& item, QKeySequence fallback) : QObject(&item), fallback(std::move(fallback)) {
        setObjectName(QString::fromLatin1(objectNameText));
    }

    static NameBinding* of(QAction& item) {
        return item.findChild<NameBinding*>(QString::fromLatin1(objectNameText), Qt::FindDirectChildrenOnly);
    }

    QKeySequence fallback;
    ObserverToken observer;
};

QKeySequence sequenceOf(const std::optional<Shortcut>& shortcut, const Keyboard& keyboard) {
    if (!shortcut)
        return {};
    return keySequence(*shortcut, keyboard).value_or(QKeySequence());
}

void showNameShortcut(QAction& item, const Name& name, Registry& shortcuts, const QKeySequence& fallback) {
    const std::optional<Shortcut> shortcut = shortcuts.getShortcut(name);
    item.setShortcut(shortcut ? sequenceOf(shortcut, shortcuts.keyboard()) : fallback);
}
} // namespace

void setShortcutFor(QAction& item, const std::optional<Name>& name, Registry& shortcuts,
                    NotificationCenter& notifications) {
    NameBinding* binding = NameBinding::of(item);
    if (!name) {
        // Back to the item's own shortcut as saved when a name took over; an item never bound
        // saved none, so it ends with no shortcut at all.
        item.setShortcut(binding ? binding->fallback : QKeySequence());
        delete binding;
        return;
    }
    // A second name keeps the shortcut saved when the first one took over.
    if (!binding)
        binding = new NameBinding(item, item.shortcut());
    binding->observer.remove();
    showNameShortcut(item, *name, shortcuts, binding->fallback);

    QPointer<QAction> weakItem(&item);
    binding->observer = notifications.addObserver(
        shortcutByNameDidChange, [weakItem, observed = *name, &shortcuts](const Notification& note) {
            const std::optional<Name> changed = shortcutName(note);
            if (!changed || changed->rawValue != observed.rawValue || !weakItem)
                return;
            if (NameBinding* current = NameBinding::of(*weakItem))
                showNameShortcut(*weakItem, observed, shortcuts, current->fallback);
        });
}

void setShortcut(QAction& item, const std::optional<Shortcut>& shortcut, const Keyboard& keyboard) {
    delete NameBinding::of(item);
    item.setShortcut(sequenceOf(shortcut, keyboard));
}

} // namespace corvane::ShortcutKit::MenuItemShortcut
