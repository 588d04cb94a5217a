#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// One press or release of a key a tap holds.
struct TappedKey {
    Qt::Key key = Qt::Key_unknown;
    bool pressed = true;
    // A press while the key is already down (the key is held).
    bool autoRepeat = false;
    // The stored modifier bits held at the time (command 0x100, shift 0x200, option 0x800,
    // control 0x1000).
    qint64 modifiers = 0;
};

// Keys the product takes from every other program, in any modifier state, and hears on the
// thread that made this object. X11 cannot change or hold back another program's events in
// flight, so a tap is a grab of exactly the keys its caller serves (the volume and brightness
// keys): they reach only the product while the tap lasts. One object per thread, made, used and
// destroyed on that thread; it reads its own display connection on that thread's event loop.
class KeyTaps : public QObject {
    Q_OBJECT
public:
    using Id = quint32;
    using Callback = std::function<void(const TappedKey&)>;

    // Takes the keys and calls `callback` on this thread for each of their presses and releases.
    // Keys this keyboard lacks, or another program holds, are left out (and logged); none when no
    // key could be taken at all (no display, or every key held elsewhere).
    virtual std::optional<Id> addKeyTap(const std::vector<Qt::Key>& keys, Callback callback) = 0;
    // Gives the tap's keys back, except those another tap still holds. An unknown id is ignored.
    virtual void removeKeyTap(Id id) = 0;
};

// Makes the key taps of the event-tap thread; it runs on that thread.
using KeyTapsFactory = std::function<std::unique_ptr<KeyTaps>()>;

} // namespace corvane
