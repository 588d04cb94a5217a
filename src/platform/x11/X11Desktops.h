#pragma once

#include "platform/Desktops.h"
#include "platform/x11/X11Connection.h"

#include <QByteArray>

#include <memory>
#include <mutex>

namespace corvane {

// The window manager's desktops, read from and switched through the root window's desktop
// properties. Every display shows the same desktop, so there is one list whichever display is
// asked about. No overview of all desktops and no desktop shortcuts of the desktop's own exist
// here. Callable from any thread: calls take turns on one connection of its own.
class X11Desktops final : public Desktops {
public:
    explicit X11Desktops(QByteArray displayName = {});
    ~X11Desktops() override;

    std::optional<DesktopState> readDesktops(const std::optional<QString>& displayIdentifier) override;
    bool switchToDesktop(int index) override;

    bool hasOverview() const override { return false; }
    bool openOverview() override { return false; }

    bool hasDesktopShortcuts() const override { return false; }
    bool isDesktopShortcutEnabled(int number) override;
    std::optional<QString> enableDesktopShortcuts() override;

private:
    // The connection, opened (again) when needed; null when there is no X server. Lock held.
    X11Connection* connection();
    std::optional<uint32_t> desktopCount(X11Connection& c);

    QByteArray m_displayName;
    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    xcb_atom_t m_numberOfDesktops = XCB_ATOM_NONE;
};

} // namespace corvane
