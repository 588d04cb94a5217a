#pragma once

#include <xcb/xcb.h>

#include <map>
#include <mutex>
#include <set>

namespace corvane {

// The key codes the product's key taps grab in every modifier state, each tap object on its own
// connection and thread. The hot keys' conflict probe reads them: a grab refused because of one
// of them is the product's own, not another program's. Thread-safe.
class X11TappedKeys {
public:
    // What `owner` grabs now, in place of what it grabbed before; an empty set forgets it.
    void set(const void* owner, std::set<xcb_keycode_t> keycodes) {
        const std::lock_guard lock(m_mutex);
        if (keycodes.empty())
            m_byOwner.erase(owner);
        else
            m_byOwner[owner] = std::move(keycodes);
    }
    bool contains(xcb_keycode_t keycode) const {
        const std::lock_guard lock(m_mutex);
        for (const auto& [owner, keycodes] : m_byOwner)
            if (keycodes.count(keycode) != 0)
                return true;
        return false;
    }

private:
    mutable std::mutex m_mutex;
    std::map<const void*, std::set<xcb_keycode_t>> m_byOwner;
};

} // namespace corvane
