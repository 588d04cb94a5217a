#pragma once

#include "platform/PermissionProbe.h"

#include <QByteArray>

namespace corvane {

// Answers from the X server itself. Each question opens its own short connection, so any thread
// may ask; without an X server (a Wayland session with no X) both answers are false.
class X11PermissionProbe final : public PermissionProbe {
public:
    // An empty display name means $DISPLAY.
    explicit X11PermissionProbe(QByteArray displayName = {}) : m_displayName(std::move(displayName)) {}

    // An EWMH window manager announces itself on the root window.
    bool isAccessibilityTrusted() override;
    // Composite 0.2 or later can name a window's pixmap, which captures need.
    bool isScreenCaptureAllowed() override;
    // Nothing to ask the user here: the answer is whether captures work.
    bool requestScreenCapture() override { return isScreenCaptureAllowed(); }
    // Names the window manager or the extension that is missing, or the X server itself.
    QString accessibilityHelp() override;
    QString screenCaptureHelp() override;

private:
    QByteArray m_displayName;
};

} // namespace corvane
