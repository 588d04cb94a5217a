#pragma once

#include <cstdint>
#include <optional>

namespace corvane {

// Pasting into another program: remember the window in front, give it the keyboard back, and
// press the paste keys there. Main thread only.
class PasteKeystroke {
public:
    virtual ~PasteKeystroke() = default;

    // The program window that is in front now; none when there is none.
    virtual std::optional<uint32_t> frontWindow() = 0;
    // Asks the desktop to give `window` the keyboard focus.
    virtual void giveFocus(uint32_t window) = 0;
    // Whether `window` (or a window inside it) has the keyboard focus, as the server last said.
    virtual bool hasFocus(uint32_t window) = 0;
    // Presses and releases Control+V, with the key that prints "v" in the layout in use. False
    // when it could not be sent.
    virtual bool sendPaste() = 0;
};

} // namespace corvane
