#pragma once

#include "platform/ApplicationCatalog.h"
#include "platform/x11/X11WindowProgram.h"

#include <memory>

namespace corvane {

// Installed applications from their .desktop entries (read through GIO, which follows the XDG
// search path and the desktop-file id rules), running ones by their process name.
class DesktopApplicationCatalog final : public ApplicationCatalog {
public:
    explicit DesktopApplicationCatalog(std::shared_ptr<X11WindowProgram> windows)
        : m_windows(std::move(windows)) {}

    std::optional<QIcon> iconForBundleID(const QString& bundleID) override;
    std::optional<QString> displayNameForBundleID(const QString& bundleID) override;
    // The process's command name taken as a desktop-file id; none when no entry has that id.
    std::optional<QIcon> iconForPID(qint64 pid) override;
    // The window's _NET_WM_ICON, else its WM_HINTS icon pixmap.
    std::optional<QIcon> iconForWindow(uint32_t windowID) override;

private:
    std::shared_ptr<X11WindowProgram> m_windows;
};

} // namespace corvane
