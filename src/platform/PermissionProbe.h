#pragma once

#include <QString>

namespace corvane {

// The two permissions the product needs, as this desktop answers them. On X11 with an EWMH
// window manager, reading and moving other programs' windows is allowed; with the Composite
// extension, capturing them is. Both questions may be asked from any thread and never prompt.
class PermissionProbe {
public:
    virtual ~PermissionProbe() = default;
    virtual bool isAccessibilityTrusted() = 0;
    virtual bool isScreenCaptureAllowed() = 0;
    // Asks for screen capture where the desktop can ask; answers whether it is now allowed.
    virtual bool requestScreenCapture() = 0;
    // What is missing for each permission and how the user gets it, in a few plain sentences, for
    // a desktop with no prompt or settings pane that could give it. Asked on the main thread when
    // the user wants to know; may open a short connection to look.
    virtual QString accessibilityHelp() = 0;
    virtual QString screenCaptureHelp() = 0;
};

} // namespace corvane
