#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipboardIndex.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace corvane {

// The clipboard history on disk: one private folder holding "index.json", a PNG per image entry
// and, across a quick relaunch, the "handoff" marker. The folder is 0700 and every file 0600 from
// the moment it is created. The history in memory never depends on a write having worked. A
// damaged index is never written over: it goes aside first, into a folder named for it.
class ClipboardStore {
public:
    struct Loaded {
        enum class Status {
            missing,    // no index: a history never saved
            loaded,     // read; records that cannot be restored are left out
            damaged,    // did not decode; moved aside with its pictures to `setAsidePath`
            unreadable, // could not be read, is no regular file or is past the index limit (or,
                        // damaged, not moved aside): left as it is
        };
        Status status = Status::missing;
        std::vector<ClipItem> items;
        std::optional<QString> setAsidePath;
        QString detail; // why it could not be read or decoded
    };

    // The largest index read and written: 10,000 entries of ordinary text take some 1.4 MB, 200
    // entries (the highest limit) of a MiB each still fit; a bound keeps a link to an endless device
    // or a huge file from filling memory. A larger index is left as it is, as one that cannot be
    // read, and a history whose index would be larger is not saved (texts of up to 8 MiB each can
    // make one).
    static constexpr qint64 indexLimit = 256 * 1024 * 1024;
    // The largest picture read back: far above the PNG of any screenshot.
    static constexpr qint64 pictureLimit = 256 * 1024 * 1024;

    // $XDG_DATA_HOME/Corvane/Clipboard.
    static QString defaultDirectory();
    // `limit` stands for `indexLimit`, for a test that cannot fill it.
    explicit ClipboardStore(QString directory = defaultDirectory(), qint64 limit = indexLimit);

    const QString& directory() const { return m_directory; }
    bool exists() const;

    // Why a save did not land; `tooLarge` when the index would pass the limit, which only another
    // list can change.
    struct SaveFailure {
        QString message;
        bool tooLarge = false;
    };
    // Writes the index for these entries, each image once, and removes image files no entry
    // names any more. The index is streamed to its file once its length is known to fit: a save
    // costs little memory beside the entries, and an index past the limit costs no write.
    // Answers none on success, else why the index, or a picture before it, could not be written.
    std::optional<SaveFailure> save(const std::vector<ClipItem>& items) const;
    // Reads the index. Removes first what interrupted saves left behind.
    Loaded load() const;

    // The quit time a relaunch may take the history over from.
    void writeHandoff(const QDateTime& quitTime) const;
    std::optional<QDateTime> handoffTime() const;

    // Deletes the folder and everything in it. A link in the folder's place is removed itself:
    // nothing outside the store is touched.
    void removeAll() const;

    // The entry a record stands for; none when it cannot be restored.
    std::optional<ClipItem> restoreItem(const StoredClip& record) const;

private:
    void removeLeftovers() const;
    // Moves a damaged index and the pictures beside it into a new "damaged-<time>" folder;
    // answers where, or none when the index could not be moved.
    std::optional<QString> setAside() const;
    QString path(const QString& name) const { return m_directory + QLatin1Char('/') + name; }

    QString m_directory;
    qint64 m_indexLimit;
};

// Stored dates count seconds from 2001-01-01 00:00:00 UTC.
double storedDate(const QDateTime& date);
QDateTime dateFromStored(double seconds);

} // namespace corvane
