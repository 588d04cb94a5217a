#pragma once

#include "platform/PasteKeystroke.h"

#include <vector>

namespace corvane {

// The window in front and its focus as a test sets them; pastes are counted.
class FakePasteKeystroke final : public PasteKeystroke {
public:
    std::optional<uint32_t> frontWindow() override { return front; }
    void giveFocus(uint32_t window) override {
        focusRequests.push_back(window);
        if (focusFollows)
            focused = window;
    }
    bool hasFocus(uint32_t window) override { return focused == window; }
    bool sendPaste() override {
        pastesInto.push_back(focused.value_or(0));
        return true;
    }

    std::optional<uint32_t> front;
    std::optional<uint32_t> focused;
    // Whether asking for the focus gets it (a window manager that refuses leaves it false).
    bool focusFollows = true;
    std::vector<uint32_t> focusRequests;
    // The window that had the focus at each paste.
    std::vector<uint32_t> pastesInto;
};

} // namespace corvane
