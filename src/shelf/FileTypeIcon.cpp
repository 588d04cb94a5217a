#include "shelf/FileTypeIcon.h"

#include "core/ThemeSymbols.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStringList>
#include <QStyle>

namespace corvane {

namespace {

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
    settleIconTheme();
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
