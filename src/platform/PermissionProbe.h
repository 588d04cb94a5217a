#pragma once

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
};

} // namespace corvane
