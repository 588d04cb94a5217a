#pragma once

#include "core/ShelfSort.h"
#include "shelf/ShelfFile.h"

#include <QString>

#include <vector>

namespace corvane {

// A folder list shows at most this many entries.
inline constexpr std::size_t folderListLimit = 300;

// Orders a list in place. Entries the order does not tell apart keep their order: under `newest`
// the later date first, under `name` the file-browser order of names.
void sortShelfFiles(std::vector<ShelfFile>& files, ShelfSort sort);

// The entries of one folder, one level deep, without hidden ones, sorted and cut to
// `folderListLimit`. A folder that cannot be listed (missing, not a folder, unreadable) gives an
// empty list.
std::vector<ShelfFile> listFolder(const QString& path, ShelfSort sort);

} // namespace corvane
