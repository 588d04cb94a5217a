#include "platform/linux/DesktopApplicationCatalog.h"

#include <QFile>

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

} // namespace

std::optional<QIcon> DesktopApplicationCatalog::iconForBundleID(const QString& bundleID) {
    if (bundleID.isEmpty() || bundleID.contains(u'/'))
        return std::nullopt;
    const QByteArray desktopID = (bundleID + QStringLiteral(".desktop")).toUtf8();
    GDesktopAppInfo* info = g_desktop_app_info_new(desktopID.constData());
    if (!info)
        return std::nullopt;
    std::optional<QIcon> icon = iconFrom(g_app_info_get_icon(G_APP_INFO(info)));
    g_object_unref(info);
    return icon;
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
