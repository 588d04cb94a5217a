#pragma once

#include "platform/HotKeys.h"

#include <functional>
#include <optional>

namespace corvane::ShortcutKit {

class HotKeyCenter;

// One key combination handed to the hot-key centre, with what to run when it is pressed and
// released. Its owner (the registry) keeps it alive; when it goes, it gives its combination back
// and leaves the centre.
class HotKey {
public:
    using Action = std::function<void()>;

    HotKey(HotKeyCenter& center, qint64 carbonKeyCode, qint64 carbonModifiers, Action onKeyDown,
           Action onKeyUp);
    ~HotKey();
    HotKey(const HotKey&) = delete;
    HotKey& operator=(const HotKey&) = delete;

    const qint64 carbonKeyCode;
    const qint64 carbonModifiers;
    // Unique in the centre for its whole life; never reused.
    const int id;
    Action onKeyDown;
    Action onKeyUp;
    // Its press holds the keyboard until handled (HotKeys::setHoldsKeyboard).
    bool holdsKeyboard = false;
    // Run when a later re-registration is refused (after a pause or a menu closed).
    Action onRegistrationFailed;
    // Present exactly while the desktop holds the combination for us.
    std::optional<HotKeys::Id> registration;

private:
    HotKeyCenter& m_center;
};

} // namespace corvane::ShortcutKit
