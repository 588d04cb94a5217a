#pragma once

#include "platform/FileFacts.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

// One listed file as the file system described it when the value was built.
struct ShelfFile {
    QUrl url;
    QString name; // the file's own name, as stored; shown only through `shownName`
    // When the item came into its folder, as near as the file system tells: its modification date,
    // since Linux file systems keep no date of arrival; the distant past when it cannot be read.
    QDateTime date;
    std::optional<qint64> size; // bytes; none for folders and for what cannot be read
    bool isDirectory = false;
    bool exists = false;
    // What the path names (links followed). Only a regular file is ever opened to be previewed.
    FileKind kind = FileKind::missing;

    // Two values with the same path are the same item to the lists.
    QString id() const { return url.toLocalFile(); }

    // From a file-system path, never read as URL text.
    static ShelfFile fromPath(const QString& path);
    // From facts already read about the path, with the name it is listed under.
    static ShelfFile fromFacts(const QString& path, QString name, const FileFacts& facts);
    // An entry of `folder` (a path ending in "/") by its name as the file system stores it, with
    // the facts read through that name. A name that is not text in the system's encoding reads
    // with stand-ins for its odd bytes, and the path made of that text leads elsewhere (nowhere,
    // or to another file): such an entry is listed as one that cannot be reached, so nothing
    // opens, drags or previews it.
    static ShelfFile fromEntry(const QString& folder, const QByteArray& stored, const FileFacts& facts);

    // The date of a file whose dates cannot be read.
    static QDateTime distantPast();

    friend bool operator==(const ShelfFile& a, const ShelfFile& b);
};

} // namespace corvane
