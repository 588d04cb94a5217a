#pragma once

#include <QObject>

#include <optional>

namespace corvane {

// System-wide key combinations that reach the product whichever program has the focus. A
// combination is given in the stored form of shortcuts: a virtual key code and the modifier
// bits of HotKeyModifier (platform/ModifierBits.h).
// Holding a key down gives one press and one release, never a press per repeat. Main thread only.
class HotKeys : public QObject {
    Q_OBJECT
public:
    using Id = quint32;

    // Why the desktop refused a combination.
    enum class Refusal {
        heldByAnotherProgram,
        notOnThisKeyboard,
        failed,
    };

    // Takes the combination for the product; none when the desktop refuses it (another program
    // holds it, the key is not on this keyboard, or a modifier has no counterpart here).
    virtual std::optional<Id> registerHotKey(qint64 keyCode, qint64 modifiers) = 0;
    // Gives the combination back; an unknown id is ignored.
    virtual void unregisterHotKey(Id id) = 0;
    // Why the latest registration that gave none was refused.
    Refusal lastRefusal() const { return m_lastRefusal; }

Q_SIGNALS:
    void pressed(corvane::HotKeys::Id id);
    void released(corvane::HotKeys::Id id);

protected:
    Refusal m_lastRefusal = Refusal::failed;
};

} // namespace corvane
