#pragma once

#include "clipboard/FileList.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace corvane {

// One entry as "index.json" holds it. Members that do not apply are absent.
struct StoredClip {
    QString id;
    // Seconds since 2001-01-01 00:00:00 UTC.
    double date = 0;
    std::optional<QString> source;
    QString type;
    std::optional<QString> text;
    std::optional<FileList> paths;
    std::optional<QString> image;
};

// The index of the clipboard store: a compact JSON array of records, newest first, each with its
// members in the order of their names, in UTF-8 with only what JSON requires escaped.
// `writeClipboardIndex` hands it to `out` piece by piece, a few kilobytes at most at a time, so
// that writing an index costs little beside the entries it is written from; it stops as soon as
// `out` answers false, and answers whether `out` took it all.
bool writeClipboardIndex(const std::vector<StoredClip>& records,
                         const std::function<bool(QByteArrayView)>& out);
// Its length in bytes, found the same way without keeping any of it.
qint64 clipboardIndexSize(const std::vector<StoredClip>& records);
QByteArray encodeClipboardIndex(const std::vector<StoredClip>& records);
// None when the index is damaged: not JSON, nested deeper than an index can be, or any record
// without its id, date or type, or with a member of the wrong kind. One bad record rejects all.
// `error`, when given, says why.
std::optional<std::vector<StoredClip>> decodeClipboardIndex(const QByteArray& bytes,
                                                            QString* error = nullptr);

// The name the store gives an image file: the entry's id in upper case and ".png". Only names of
// exactly this form are ever opened, so an index cannot point anywhere else.
QString storeImageName(const QString& id);
bool isStoreImageName(const QString& name);

} // namespace corvane
