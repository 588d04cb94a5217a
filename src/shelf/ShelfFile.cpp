#include "shelf/ShelfFile.h"

#include "shelf/ShelfPath.h"

#include <QFileInfo>
#include <QTimeZone>

namespace corvane {

QDateTime ShelfFile::distantPast() {
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc());
}

ShelfFile ShelfFile::fromFileInfo(const QFileInfo& info) {
    ShelfFile file;
    file.url = QUrl::fromLocalFile(info.filePath());
    file.name = shelfDisplayName(info.filePath());
    // Follows a symbolic link: one whose target is gone does not exist and reads as nothing.
    file.exists = info.exists();
    file.date = distantPast();
    if (file.exists) {
        const QDateTime modified = info.lastModified();
        if (modified.isValid())
            file.date = modified;
        file.isDirectory = info.isDir();
        if (info.isFile())
            file.size = info.size();
    }
    return file;
}

ShelfFile ShelfFile::fromPath(const QString& path) {
    return fromFileInfo(QFileInfo(path));
}

ShelfFile ShelfFile::fromUrl(const QUrl& url) {
    ShelfFile file = fromPath(url.toLocalFile());
    file.url = url;
    return file;
}

bool operator==(const ShelfFile& a, const ShelfFile& b) {
    const bool sameUrl =
        a.url == b.url || (a.url.isLocalFile() && b.url.isLocalFile() && samePath(a.id(), b.id()));
    return sameUrl && samePath(a.name, b.name) && a.date == b.date && a.size == b.size &&
           a.isDirectory == b.isDirectory && a.exists == b.exists;
}

} // namespace corvane
