#pragma once

#include <QString>

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct xkb_context;
struct xkb_keymap;

namespace corvane {

// A key grab must be made once for every state of the lock modifiers (Caps Lock, Num Lock), or
// the key stops working while one of them is on.
std::vector<uint16_t> lockModifierCombinations(uint16_t numLockMask);

// The core keyboard's keymap as the server has it now, read once over a connection: which X key
// code sits where each stored virtual key code names a key (through the shared key-code table),
// what the key prints, and which real modifier bits Alt, Super and NumLock are. Build a new one
// when the server announces a keymap change. Invalid when the server has no XKB.
class X11Keymap {
public:
    explicit X11Keymap(xcb_connection_t* connection);
    ~X11Keymap();
    X11Keymap(const X11Keymap&) = delete;
    X11Keymap& operator=(const X11Keymap&) = delete;

    bool isValid() const { return m_keymap != nullptr; }

    std::optional<xcb_keycode_t> keycode(qint64 keyCode) const;
    std::optional<qint64> keyCode(xcb_keycode_t keycode) const;
    // The X key codes whose unshifted symbol, in any layout, is `keysym` (media keys have no
    // place in the shared key-code table; they are known by their symbols).
    std::vector<xcb_keycode_t> keycodesOfSymbol(uint32_t keysym) const;
    // What the key prints without modifiers in the layout currently in use, or, when that layout
    // writes no Latin letters, in the first one that does; none for keys that print nothing.
    std::optional<QString> keyText(qint64 keyCode) const;
    // The X key code that gives `keysym` without Shift in the layout in use, or, when that layout
    // has no such key, the key that gives it in the first layout that does.
    std::optional<xcb_keycode_t> keycodeForSymbol(uint32_t keysym) const;

    uint16_t altMask() const { return m_altMask; }
    uint16_t superMask() const { return m_superMask; }
    uint16_t numLockMask() const { return m_numLockMask; }

    // Sets up XKB on a connection; false when the server has none. Safe to call again.
    static bool setUpExtension(xcb_connection_t* connection);
    // The XKB event base of the connection, for telling its events apart; none without XKB.
    static std::optional<uint8_t> eventBase(xcb_connection_t* connection);
    // Sets up XKB and asks it to announce keymap changes on the connection; with
    // `detectableAutoRepeat`, a held key then repeats as presses without releases between them
    // (without it the server sends a release and a press per repeat). The XKB event base; none
    // when the server has no XKB.
    static std::optional<uint8_t> watchKeymapChanges(xcb_connection_t* connection, bool detectableAutoRepeat);

private:
    void readModifierMasks();
    uint32_t currentLayout() const;
    bool printsLatin(uint32_t layout) const;

    xcb_connection_t* m_connection;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    uint16_t m_altMask = XCB_MOD_MASK_1;
    uint16_t m_superMask = XCB_MOD_MASK_4;
    uint16_t m_numLockMask = XCB_MOD_MASK_2;
};

} // namespace corvane
