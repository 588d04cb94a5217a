#include "platform/linux/DesktopApplicationCatalog.h"

#include <QFile>
#include <QPixmap>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace corvane {

namespace {

std::optional<QIcon> iconFrom(GIcon* icon) {
    if (!icon)
        return std::nullopt;
    if (G_IS_THEMED_ICON(icon)) {
        // The entry's own name first, then the fallbacks GIO derived from it.
        for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name) {
            QIcon themed = QIcon::fromTheme(QString::fromUtf8(*name));
            if (!themed.isNull())
                return themed;
        }
        return std::nullopt;
    }
    if (G_IS_FILE_ICON(icon)) {
        gchar* path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)));
        if (!path)
            return std::nullopt;
        QIcon fromFile(QFile::decodeName(path));
        g_free(path);
        if (!fromFile.isNull())
            return fromFile;
    }
    return std::nullopt;
}

// The entry with that desktop-file id, or null; the caller unrefs it.
GDesktopAppInfo* entryFor(const QString& bundleID) {
    if (bundleID.isEmpty() || bundleID.contains(u'/'))
        return nullptr;
    const QByteArray desktopID = (bundleID + QStringLiteral(".desktop")).toUtf8();
    return g_desktop_app_info_new(desktopID.constData());
}

} // namespace

std::optional<QIcon> DesktopApplicationCatalog::iconForBundleID(const QString& bundleID) {
    GDesktopAppInfo* info = entryFor(bundleID);
    if (!info)
        return std::nullopt;
    std::optional<QIcon> icon = iconFrom(g_app_info_get_icon(G_APP_INFO(info)));
    g_object_unref(info);
    return icon;
}

std::optional<QString> DesktopApplicationCatalog::displayNameForBundleID(const QString& bundleID) {
    GDesktopAppInfo* info = entryFor(bundleID);
    if (!info)
        return std::nullopt;
    std::optional<QString> name;
    if (const char* shown = g_app_info_get_display_name(G_APP_INFO(info)); shown && *shown)
        name = QString::fromUtf8(shown);
    g_object_unref(info);
    return name;
}

std::optional<QIcon> DesktopApplicationCatalog::iconForWindow(uint32_t windowID) {
    if (!m_windows)
        return std::nullopt;
    // Big enough for the strip's largest tile on a doubled screen.
    const std::optional<QImage> image = m_windows->icon(windowID, 128);
    if (!image || image->isNull())
        return std::nullopt;
    return QIcon(QPixmap::fromImage(*image));
}

std::optional<QIcon> DesktopApplicationCatalog::iconForPID(qint64 pid) {
    if (pid <= 0)
        return std::nullopt;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString name = QString::fromUtf8(comm.readAll()).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return iconForBundleID(name);
}

} // namespace corvane
