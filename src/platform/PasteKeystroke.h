#pragma once

#include <cstdint>

namespace corvane {

// Pasting into another program once the keyboard is back with it: the desktop's word that the
// window has the focus again, and the paste keys pressed there. Main thread only.
class PasteKeystroke {
public:
    virtual ~PasteKeystroke() = default;

    // Starts listening for `window` receiving the keyboard focus (call before handing it back).
    virtual void watchFocus(uint32_t window) = 0;
    // Whether the watched `window` (or a window inside it) has the keyboard focus now.
    virtual bool hasFocus(uint32_t window) = 0;
    // Presses and releases the keys the program with the watched window pastes with (Control+V
    // for most), with the keys that print them in the layout in use. False when they could not be
    // sent.
    virtual bool sendPaste() = 0;
};

} // namespace corvane
