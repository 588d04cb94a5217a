#pragma once

#include "core/ShelfSort.h"
#include "shelf/NaturalNameComparer.h"
#include "shelf/ShelfFile.h"
#include "shelf/ShelfListing.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace corvane {

// A folder's list kept up to date from the names of the entries that changed, so that a change
// costs a look at those entries rather than a listing of the whole folder. It holds the entries
// shown (the first `limit` in the list's order, with their facts) and, for every other entry, only
// what orders it, so that an entry leaving the list is followed by the next one without a listing.
// The list is always exactly what `listFolder` gives for the folder as it is now. Used on one
// thread at a time; reads the disk.
class FolderIndex {
public:
    // Lists the folder whole.
    FolderIndex(QString path, ShelfSort sort, std::size_t limit = folderListLimit);

    // Looks again at the named entries (created, deleted, renamed, written: each is read as it is
    // now). False when the new order cannot be told without listing the folder again: entries the
    // order does not tell apart stand in the file system's order, which is not known for an entry
    // that changed; or many shown entries left at once. The index is then unusable.
    bool apply(const std::vector<QByteArray>& names);

    std::vector<ShelfFile> shown() const;
    // Every entry listed, shown or not.
    std::size_t count() const { return m_head.size() + static_cast<std::size_t>(m_rest.size()); }
    // False when the folder could not be read at the last listing.
    bool isOpen() const { return m_open; }

private:
    static constexpr qint64 unknownPosition = -1;

    // What orders an entry: its name or its date, then its place in the file system's listing
    // (`compareKeys` looks at the name or date alone).
    struct Key {
        QString name;
        qint64 ms = 0;
        qint64 position = unknownPosition;
    };
    struct Shown {
        QByteArray stored;
        Key key;
        ShelfFile file;
    };
    struct Hidden {
        qint64 ms = 0;
        qint64 position = unknownPosition;
    };

    int compareKeys(const Key& a, const Key& b) const;
    Key keyOf(const QByteArray& stored, const FileFacts& facts, qint64 position) const;
    ShelfFile fileOf(const QByteArray& stored, const FileFacts& facts) const;
    // `first`: the entry is known to come before every entry past the list.
    bool place(Shown entry, bool first = false);
    bool promote(const class FolderReader& folder);

    QString m_base; // the folder's path with a trailing slash
    ShelfSort m_sort;
    std::size_t m_limit;
    NaturalNameComparer m_comparer;
    bool m_open = false;
    std::vector<Shown> m_head;        // in list order
    QHash<QByteArray, Hidden> m_rest; // the entries past the list
};

} // namespace corvane
