#pragma once

#include "clipboard/FileList.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <optional>

namespace corvane {

// One entry of the clipboard history. Two entries are equal when their ids are; whether they hold
// the same thing is `sameContent`.
struct ClipItem {
    enum class Kind { text, link, image, files };

    QUuid id;
    Kind kind = Kind::text;
    // The text of a text entry.
    QString text;
    // The address of a link entry.
    QUrl link;
    // The picture of an image entry as PNG, never decoded pixels: its pixels encoded anew when it
    // was copied, or the file the store kept; its size; and a digest of its pixels that tells two
    // pictures apart (left empty for a picture read back from the store).
    QByteArray imageData;
    QSize imageSize;
    QByteArray imageDigest;
    // The files of a files entry, in the order they were copied; never empty.
    FileList files;
    // When it was copied (wall clock, in UTC: comparing it costs no time-zone lookup).
    QDateTime date;
    // The program that was in front when it was copied.
    std::optional<QString> sourceBundleID;

    static ClipItem makeText(QString text);
    static ClipItem makeLink(QUrl link);
    // From a decoded picture. Only its pixels are kept: whatever else the copy carried (text, an
    // extra chunk, bytes after its end) is not, and a colour profile is applied to them first.
    static ClipItem makeImage(const QImage& image);
    // From a picture the store kept, without decoding it: its size from its header, its digest
    // only once a picture of the same size is to be compared with it. None when it is no picture.
    static std::optional<ClipItem> makeImageFromStoredData(QByteArray data);
    static ClipItem makeFiles(FileList files);
    static ClipItem makeFiles(const QList<QUrl>& files) { return makeFiles(FileList(files)); }

    // "Text", "Link", "Image", "File", or the number of files and " Files".
    QString label() const;
    // What the strip's search looks in; with a `limit`, only its first characters (up to about
    // that many), which costs only as much.
    QString searchText(qsizetype limit = -1) const;
    bool sameContent(const ClipItem& other) const;

    // The picture decoded at most at `size`, its aspect kept; null for other kinds.
    QImage previewImage(QSize size) const;
    // The whole picture, for pasting and dragging; null for other kinds.
    QImage fullImage() const;
    // The picture as PNG, the form the store keeps.
    QByteArray pngData() const;
    // `imageDigest`, or the digest of the decoded picture when it was not taken.
    QByteArray pixelDigest() const;

    bool operator==(const ClipItem& other) const { return id == other.id; }
};

// The digest two images are compared by: their size and every pixel.
QByteArray imageDigest(const QImage& image);

} // namespace corvane
