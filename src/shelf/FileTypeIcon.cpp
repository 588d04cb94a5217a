#include "shelf/FileTypeIcon.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QStringList>
#include <QStyle>

namespace corvane {

namespace {

// The theme the README's set-up installs. A desktop without a theme of its own (a bare window
// manager) reads only "hicolor", which holds no file-type icons.
const QString fallbackTheme = QStringLiteral("Adwaita");

void useFallbackTheme() {
    static const bool done = [] {
        // Some platforms (the offscreen one among them) look in no system icon folder at all.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& folder :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory)) {
            if (!paths.contains(folder))
                paths.append(folder);
        }
        QIcon::setThemeSearchPaths(paths);
        const QString fallback = QIcon::fallbackThemeName();
        if (fallback.isEmpty() || fallback == QLatin1String("hicolor"))
            QIcon::setFallbackThemeName(fallbackTheme);
        if (QIcon::themeName().isEmpty())
            QIcon::setThemeName(fallbackTheme);
        return true;
    }();
    Q_UNUSED(done);
}

QStringList namesFor(const QString& path, FileKind kind) {
    const QMimeDatabase types;
    switch (kind) {
    case FileKind::directory:
        return {QStringLiteral("folder"), QStringLiteral("inode-directory")};
    case FileKind::fifo:
        return {QStringLiteral("inode-fifo"), QStringLiteral("application-x-generic")};
    case FileKind::socket:
        return {QStringLiteral("inode-socket"), QStringLiteral("network-server")};
    case FileKind::characterDevice:
        return {QStringLiteral("inode-chardevice"), QStringLiteral("computer")};
    case FileKind::blockDevice:
        return {QStringLiteral("inode-blockdevice"), QStringLiteral("drive-harddisk")};
    default: {
        // By name only: sniffing the content would open the file.
        const QMimeType type = types.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
        return {type.iconName(), type.genericIconName(), QStringLiteral("text-x-generic")};
    }
    }
}

} // namespace

QIcon fileTypeIcon(const QString& path, FileKind kind) {
    useFallbackTheme();
    for (const QString& name : namesFor(path, kind)) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    const bool folder = kind == FileKind::directory;
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app->style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    return {};
}

} // namespace corvane
