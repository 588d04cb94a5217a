#pragma once

namespace corvane {

// The large preview of a hovered window beside the strip.
class HoverPreviewController {
public:
    // Fades the preview out when it shows; otherwise does nothing.
    void hide() { m_visible = false; }
    bool isVisible() const { return m_visible; }

private:
    bool m_visible = false;
};

} // namespace corvane
