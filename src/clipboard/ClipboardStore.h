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
// the moment it is created. File-system errors are ignored: the history in memory never depends
// on a write having worked.
class ClipboardStore {
public:
    // $XDG_DATA_HOME/Corvane/Clipboard.
    static QString defaultDirectory();
    explicit ClipboardStore(QString directory = defaultDirectory());

    const QString& directory() const { return m_directory; }
    bool exists() const;

    // Writes the index for these entries, each image once, and removes image files no entry
    // names any more.
    void save(const std::vector<ClipItem>& items) const;
    // The entries of the index, in its order; records that cannot be restored are skipped. None
    // when there is no readable index.
    std::optional<std::vector<ClipItem>> load() const;

    // The quit time a relaunch may take the history over from.
    void writeHandoff(const QDateTime& quitTime) const;
    std::optional<QDateTime> handoffTime() const;

    // Deletes the folder and everything in it.
    void removeAll() const;

    // The entry a record stands for; none when it cannot be restored.
    std::optional<ClipItem> restoreItem(const StoredClip& record) const;

private:
    QString path(const QString& name) const { return m_directory + QLatin1Char('/') + name; }

    QString m_directory;
};

// Stored dates count seconds from 2001-01-01 00:00:00 UTC.
double storedDate(const QDateTime& date);
QDateTime dateFromStored(double seconds);

} // namespace corvane
