#pragma once

#include <map>
#include <vector>

namespace corvane {

// Brings the strip's widgets in line with a new list of items, keyed by `keyOf`: the widget of an
// item that stays is kept and given the item (`update`), one is made and shown for each new item
// (`make`), and those of items that went are hidden and deleted on the next turn of the event
// loop, since one of them may be handling the event that changed the list (a drop that reorders);
// or, given `retire`, they are handed to it to leave as it chooses.
template <typename Key, typename Widget, typename Item, typename KeyOf, typename Update, typename Make,
          typename Retire>
void reconcileWidgets(std::map<Key, Widget*>& widgets, const std::vector<Item>& items, KeyOf keyOf,
                      Update update, Make make, Retire retire) {
    std::map<Key, Widget*> next;
    for (const Item& item : items) {
        Widget* widget = nullptr;
        if (auto it = widgets.find(keyOf(item)); it != widgets.end()) {
            widget = it->second;
            widgets.erase(it);
            update(*widget, item);
        } else {
            widget = make(item);
            widget->show();
        }
        next.emplace(keyOf(item), widget);
    }
    for (auto& [key, widget] : widgets)
        retire(*widget);
    widgets = std::move(next);
}

template <typename Key, typename Widget, typename Item, typename KeyOf, typename Update, typename Make>
void reconcileWidgets(std::map<Key, Widget*>& widgets, const std::vector<Item>& items, KeyOf keyOf,
                      Update update, Make make) {
    reconcileWidgets(widgets, items, keyOf, update, make, [](Widget& widget) {
        widget.hide();
        widget.deleteLater();
    });
}

} // namespace corvane
