#pragma once

#include "platform/PasteKeystroke.h"

#include <optional>
#include <vector>

namespace corvane {

// The focus as a test sets it; pastes are recorded with the window that had the focus.
class FakePasteKeystroke final : public PasteKeystroke {
public:
    void watchFocus(uint32_t window) override { watched.push_back(window); }
    bool hasFocus(uint32_t window) override { return focused == window; }
    bool sendPaste() override {
        pastesInto.push_back(focused.value_or(0));
        return true;
    }

    std::optional<uint32_t> focused;
    std::vector<uint32_t> watched;
    std::vector<uint32_t> pastesInto;
};

} // namespace corvane
