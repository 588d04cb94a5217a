#pragma once

#include "platform/ApplicationCatalog.h"

namespace corvane {

// Installed applications from their .desktop entries (read through GIO, which follows the XDG
// search path and the desktop-file id rules), running ones by their process name.
class DesktopApplicationCatalog final : public ApplicationCatalog {
public:
    std::optional<QIcon> iconForBundleID(const QString& bundleID) override;
    std::optional<QString> displayNameForBundleID(const QString& bundleID) override;
    // The process's command name taken as a desktop-file id; none when no entry has that id.
    std::optional<QIcon> iconForPID(qint64 pid) override;
};

} // namespace corvane
