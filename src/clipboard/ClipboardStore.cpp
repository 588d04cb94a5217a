#include "clipboard/ClipboardStore.h"

#include "clipboard/ClipboardIndex.h"
#include "platform/AtomicFile.h"
#include "platform/FileFacts.h"
#include "platform/PrivateFiles.h"
#include "runtime/Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <set>

namespace corvane {

namespace {

const QString indexName = QStringLiteral("index.json");
const QString handoffName = QStringLiteral("handoff");
constexpr qint64 referenceEpochMs = 978307200000; // 2001-01-01 00:00:00 UTC

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString tooLargeMessage(qint64 size, qint64 limit) {
    constexpr qint64 mebibyte = 1024 * 1024;
    const auto amount = [](qint64 bytes) {
        return bytes >= mebibyte && bytes % mebibyte == 0 ? QStringLiteral("%1 MiB").arg(bytes / mebibyte)
                                                          : QStringLiteral("%1 bytes").arg(bytes);
    };
    return QStringLiteral("the index would take %1 bytes, larger than %2: more than is read back at the next "
                          "start; it is tried again once the history changes")
        .arg(size)
        .arg(amount(limit));
}

} // namespace

double storedDate(const QDateTime& date) {
    return static_cast<double>(date.toMSecsSinceEpoch() - referenceEpochMs) / 1000.0;
}

QDateTime dateFromStored(double seconds) {
    // Out-of-range numbers from a damaged file land on the reference date rather than overflow.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e11)
        seconds = 0;
    return QDateTime::fromMSecsSinceEpoch(referenceEpochMs + std::llround(seconds * 1000.0), Qt::UTC);
}

QString ClipboardStore::defaultDirectory() {
    return corvaneDataFolder() + QStringLiteral("/Clipboard");
}

ClipboardStore::ClipboardStore(QString directory, qint64 limit)
    : m_directory(std::move(directory)), m_indexLimit(limit) {}

bool ClipboardStore::exists() const {
    return QFileInfo(m_directory).isDir();
}

std::optional<ClipboardStore::SaveFailure> ClipboardStore::save(const std::vector<ClipItem>& items) const {
    // The folder exists, private, before the first byte goes into it.
    if (auto error = makePrivateFolder(m_directory))
        return SaveFailure{*error};
    std::vector<StoredClip> records;
    records.reserve(items.size());
    std::set<QString> keptImages;
    for (const ClipItem& item : items) {
        StoredClip record;
        record.id = idText(item.id);
        record.date = storedDate(item.date);
        record.source = item.sourceBundleID;
        switch (item.kind) {
        case ClipItem::Kind::text:
            record.type = QStringLiteral("text");
            record.text = item.text;
            break;
        case ClipItem::Kind::link:
            record.type = QStringLiteral("link");
            record.text = item.link.toString(QUrl::FullyEncoded);
            break;
        case ClipItem::Kind::image: {
            record.type = QStringLiteral("image");
            const QString name = storeImageName(record.id);
            // An entry's picture never changes: it is written once under its id. One that could
            // not be written fails the save before the index names it, so that it is tried again.
            if (!QFileInfo::exists(path(name))) {
                const QByteArray png = item.pngData();
                const auto error = png.isEmpty() ? std::nullopt : writeFileAtomically(path(name), png);
                if (error)
                    return SaveFailure{
                        QStringLiteral("the picture %1 was not written: %2").arg(name, *error)};
            }
            record.image = name;
            keptImages.insert(name);
            break;
        }
        case ClipItem::Kind::files:
            record.type = QStringLiteral("files");
            record.paths = item.files;
            break;
        }
        records.push_back(std::move(record));
    }
    // The records share the entries' texts; the index is measured first, then written as it is
    // made, never held whole.
    if (const qint64 size = clipboardIndexSize(records); size > m_indexLimit)
        return SaveFailure{tooLargeMessage(size, m_indexLimit), true};
    if (auto error = writeStoredFile(path(indexName), m_indexLimit, [&](const ByteWriter& write) {
            return writeClipboardIndex(records, write);
        }))
        return SaveFailure{*error};
    const QStringList names =
        QDir(m_directory).entryList({QStringLiteral("*.png")}, QDir::Files | QDir::Hidden);
    // Only pictures the store names itself: a user's "photo.png" in a folder linked here stays.
    for (const QString& name : names)
        if (isStoreImageName(name) && !keptImages.count(name))
            QFile::remove(path(name));
    return std::nullopt;
}

void ClipboardStore::removeLeftovers() const {
    // Temporary files of a save a kill interrupted, beside the store's own pictures only (the
    // index's go as it is read): a user's "photo.png.bak" in a folder linked here stays.
    std::set<QString> pictures;
    for (const QString& name :
         QDir(m_directory)
             .entryList({QStringLiteral("*.png.*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString picture = name.left(name.indexOf(QStringLiteral(".png.")) + 4);
        if (isStoreImageName(picture))
            pictures.insert(picture);
    }
    for (const QString& name : pictures)
        removeAtomicWriteLeftovers(path(name));
}

ClipboardStore::Loaded ClipboardStore::load() const {
    removeLeftovers();
    Loaded result;
    const StoredFileRead stored = readStoredFile(path(indexName), m_indexLimit);
    // A file we may not read, a folder or anything but a regular file in its place, or one past the
    // limit, is not damaged: it stays as it is.
    if (stored.status != StoredFileRead::Status::read) {
        if (stored.status == StoredFileRead::Status::unreadable)
            result.status = Loaded::Status::unreadable;
        result.detail = stored.error;
        return result;
    }
    const QByteArray& bytes = stored.bytes;
    const std::optional<std::vector<StoredClip>> records = decodeClipboardIndex(bytes, &result.detail);
    if (!records) {
        result.setAsidePath = setAside();
        // Left where it is, it would be the file the next save replaces.
        result.status = result.setAsidePath ? Loaded::Status::damaged : Loaded::Status::unreadable;
        return result;
    }
    result.status = Loaded::Status::loaded;
    result.items.reserve(records->size());
    for (const StoredClip& record : *records)
        if (std::optional<ClipItem> item = restoreItem(record))
            result.items.push_back(std::move(*item));
    return result;
}

std::optional<QString> ClipboardStore::setAside() const {
    // The index goes with the pictures it names, so that what it held can still be had: into a
    // private folder beside them, whose name says why.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    const std::optional<QString> aside = freeAsideName(path(QStringLiteral("damaged-") + stamp));
    if (!aside || makePrivateFolder(*aside) ||
        !QFile::rename(path(indexName), *aside + QLatin1Char('/') + indexName))
        return std::nullopt;
    for (const QString& name :
         QDir(m_directory).entryList({QStringLiteral("*.png")}, QDir::Files | QDir::Hidden))
        if (isStoreImageName(name))
            QFile::rename(path(name), *aside + QLatin1Char('/') + name);
    return aside;
}

std::optional<ClipItem> ClipboardStore::restoreItem(const StoredClip& record) const {
    std::optional<ClipItem> item;
    if (record.type == QLatin1String("link")) {
        if (!record.text)
            return std::nullopt;
        const QUrl url(*record.text, QUrl::StrictMode);
        if (!url.isValid() || url.isEmpty())
            return std::nullopt;
        item = ClipItem::makeLink(url);
    } else if (record.type == QLatin1String("files")) {
        if (!record.paths)
            return std::nullopt;
        item = ClipItem::makeFiles(*record.paths);
    } else if (record.type == QLatin1String("image")) {
        // Only the store's own names: nothing outside the folder, no links out of it.
        if (!record.image || !isStoreImageName(*record.image))
            return std::nullopt;
        const QString file = path(*record.image);
        if (QFileInfo(file).isSymLink() || fileFacts(file).size > pictureLimit)
            return std::nullopt;
        const std::optional<QByteArray> png = readRegularFile(file, pictureLimit);
        if (!png)
            return std::nullopt;
        item = ClipItem::makeImageFromStoredData(*png);
        if (!item)
            return std::nullopt;
    } else {
        if (!record.text)
            return std::nullopt;
        item = ClipItem::makeText(*record.text);
    }
    item->id = QUuid::fromString(record.id);
    item->date = dateFromStored(record.date);
    item->sourceBundleID = record.source;
    return item;
}

void ClipboardStore::writeHandoff(const QDateTime& quitTime) const {
    if (!makePrivateFolder(m_directory))
        writePrivateMarker(path(handoffName), quitTime);
}

std::optional<QDateTime> ClipboardStore::handoffTime() const {
    return modificationTime(path(handoffName));
}

void ClipboardStore::removeAll() const {
    // A store folder that is a link to another folder loses the link, never what the target holds.
    if (QFileInfo(m_directory).isSymLink())
        qCInfo(lcApp, "The clipboard folder %s is a link: only the link is removed",
               qUtf8Printable(m_directory));
    if (const auto error = removeTreeWithoutFollowing(m_directory))
        qCWarning(lcApp, "Could not remove the clipboard history in %s: %s", qUtf8Printable(m_directory),
                  qUtf8Printable(*error));
}

} // namespace corvane
