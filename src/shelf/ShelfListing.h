#pragma once

#include "core/ShelfSort.h"
#include "shelf/ShelfFile.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace corvane {

// A folder list shows at most this many entries.
inline constexpr std::size_t folderListLimit = 300;

// Orders a list in place. Entries the order does not tell apart keep their order: under `newest`
// the later date first, under `name` the file-browser order of names.
void sortShelfFiles(std::vector<ShelfFile>& files, ShelfSort sort);

// The entries of one folder, one level deep, without hidden ones: exactly the first `limit` of
// the whole listing sorted as `sortShelfFiles` sorts it, ties in the file system's order. A
// folder that cannot be listed (missing, not a folder, unreadable) gives an empty list. Reads
// the disk: never on the main thread.
std::vector<ShelfFile> listFolder(const QString& path, ShelfSort sort, std::size_t limit = folderListLimit);

// One entry per Tray path, in the Tray's order, gone files included. Reads the disk as well.
std::vector<ShelfFile> trayFiles(const QStringList& paths);

} // namespace corvane
