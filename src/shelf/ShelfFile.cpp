#include "shelf/ShelfFile.h"

#include "shelf/ShelfPath.h"

#include <QFile>
#include <QTimeZone>

namespace corvane {

QDateTime ShelfFile::distantPast() {
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc());
}

ShelfFile ShelfFile::fromFacts(const QString& path, QString name, const FileFacts& facts) {
    ShelfFile file;
    file.url = QUrl::fromLocalFile(path);
    file.name = std::move(name);
    file.kind = facts.kind;
    // Follows a symbolic link: one whose target is gone does not exist and reads as nothing.
    file.exists = facts.kind != FileKind::missing;
    file.date =
        file.exists && facts.modifiedMs ? QDateTime::fromMSecsSinceEpoch(*facts.modifiedMs) : distantPast();
    file.isDirectory = facts.kind == FileKind::directory;
    if (facts.kind == FileKind::regular)
        file.size = facts.size;
    return file;
}

ShelfFile ShelfFile::fromEntry(const QString& folder, const QByteArray& stored, const FileFacts& facts) {
    const QString name = QFile::decodeName(stored);
    const bool reachable = QFile::encodeName(name) == stored;
    return fromFacts(folder + name, name, reachable ? facts : FileFacts{});
}

ShelfFile ShelfFile::fromPath(const QString& path) {
    return fromFacts(path, shelfDisplayName(path), fileFacts(path));
}

bool operator==(const ShelfFile& a, const ShelfFile& b) {
    const bool sameUrl =
        a.url == b.url || (a.url.isLocalFile() && b.url.isLocalFile() && samePath(a.id(), b.id()));
    return sameUrl && samePath(a.name, b.name) && a.date == b.date && a.size == b.size &&
           a.isDirectory == b.isDirectory && a.exists == b.exists && a.kind == b.kind;
}

} // namespace corvane
