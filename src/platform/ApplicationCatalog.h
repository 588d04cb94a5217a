#pragma once

#include <QIcon>
#include <QString>

#include <cstdint>
#include <optional>

namespace corvane {

// Installed and running applications, as far as the product needs them for pictures and names.
// A bundle identifier here is an application's desktop-file id ("org.gnome.Terminal", "firefox").
class ApplicationCatalog {
public:
    virtual ~ApplicationCatalog() = default;
    // The icon of the installed application with that id; none when no such application exists.
    virtual std::optional<QIcon> iconForBundleID(const QString& bundleID) = 0;
    // The name the installed application with that id shows (its entry's Name); none when no such
    // application exists.
    virtual std::optional<QString> displayNameForBundleID(const QString& bundleID) = 0;
    // The icon of the running process; none when it is gone or has no icon.
    virtual std::optional<QIcon> iconForPID(qint64 pid) = 0;
    // The picture a window sets as its own icon; none when it sets none or is gone.
    virtual std::optional<QIcon> iconForWindow(uint32_t windowID) = 0;
};

} // namespace corvane
