#pragma once

#include "platform/PermissionProbe.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <memory>
#include <mutex>
#include <optional>

namespace corvane {

class X11Connection;

// Answers from the X server itself, on one connection kept open for the questions (asked again
// every few seconds) and taken in turn, so any thread may ask; without an X server (a Wayland
// session with no X) both answers are false.
class X11PermissionProbe final : public PermissionProbe {
public:
    // An empty display name means $DISPLAY.
    explicit X11PermissionProbe(QByteArray displayName = {});
    ~X11PermissionProbe() override;

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
    // Under the mutex: the connection, opened on first use and again once the server dropped it;
    // none without a server.
    X11Connection* connection();
    bool hasDisplay();

    QByteArray m_displayName;
    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    xcb_atom_t m_wmCheck = XCB_ATOM_NONE;
    // The server's extensions stay as they are while it runs: asked once a connection.
    std::optional<bool> m_composite;
};

} // namespace corvane
