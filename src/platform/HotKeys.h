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
        // The product's own key taps hold the key in every modifier state (the volume keys
        // while the volume display serves them).
        heldByOwnKeyTap,
        notOnThisKeyboard,
        failed,
    };

    // Takes the combination for the product; none when the desktop refuses it (another program
    // holds it, the key is not on this keyboard, or a modifier has no counterpart here).
    virtual std::optional<Id> registerHotKey(qint64 keyCode, qint64 modifiers) = 0;
    // Gives the combination back; an unknown id is ignored.
    virtual void unregisterHotKey(Id id) = 0;
    // Whether another program holds the combination, as a window manager holds its own
    // shortcuts: the desktop refuses it to the product. Asking takes nothing (what is taken to ask
    // is given back at once). False for a combination the product holds itself, one this keyboard
    // lacks, and when the desktop cannot tell.
    virtual bool isHeldElsewhere(qint64 keyCode, qint64 modifiers) = 0;
    // Whether the hot key's press holds the keyboard: the keys typed after it wait, however late
    // the press is handled, for what its action decides (`holdKeyboard` takes them), a few seconds
    // at most; without it the press leaves the keyboard to the program in front at once.
    virtual void setHoldsKeyboard(Id id, bool holds) = 0;
    // Whether the product's own key taps hold the combination's key, in every modifier state: the
    // desktop then refuses the key with any modifiers to a hot key. False when the desktop cannot
    // tell.
    virtual bool isHeldByOwnKeyTap(qint64 keyCode, qint64 modifiers) = 0;
    // Why the latest registration that gave none was refused.
    Refusal lastRefusal() const { return m_lastRefusal; }

    // Takes the whole keyboard for the product until `releaseKeyboard`, for a window of ours that
    // is about to take the keyboard: keys typed before it has it neither reach the program in
    // front nor get lost. Called while the press of a hot key that holds the keyboard is handled,
    // it holds every key after that press. Hot keys still act meanwhile, once released towards
    // the window. Nothing when another program holds the keyboard. However long the product takes
    // to release it, the hold ends a few seconds after it began, the keys not yet released going
    // to the program in front.
    virtual void holdKeyboard() = 0;
    // Ends the hold. The keys typed during it, but not the hot keys', go in order to `window`, a
    // native window of this process, before any key typed later; with 0 they are dropped. The
    // hold lasts, passing keys on to `window`, until that window has the keyboard (or is gone) and
    // the hot key that began it is up; called again meanwhile, it stops waiting for the window.
    virtual void releaseKeyboard(quint64 window) = 0;

Q_SIGNALS:
    void pressed(corvane::HotKeys::Id id);
    void released(corvane::HotKeys::Id id);

protected:
    Refusal m_lastRefusal = Refusal::failed;
};

} // namespace corvane
