#include "shelf/ShelfListing.h"

#include "shelf/NaturalNameComparer.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace corvane {

void sortShelfFiles(std::vector<ShelfFile>& files, ShelfSort sort) {
    switch (sort) {
    case ShelfSort::newest:
        std::stable_sort(files.begin(), files.end(),
                         [](const ShelfFile& a, const ShelfFile& b) { return a.date > b.date; });
        break;
    case ShelfSort::name: {
        const NaturalNameComparer comparer;
        std::stable_sort(files.begin(), files.end(),
                         [&](const ShelfFile& a, const ShelfFile& b) { return comparer(a.name, b.name); });
        break;
    }
    }
}

std::vector<ShelfFile> listFolder(const QString& path, ShelfSort sort) {
    // A relative or empty path would list the working folder: it names no folder of the user's.
    if (!QDir::isAbsolutePath(path))
        return {};
    // System entries are listed too (sockets, pipes, links whose target is gone); hidden ones are
    // not. The entries come in the order the file system gives them, which the sort keeps for ties.
    const QDir folder(path);
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);

    std::vector<ShelfFile> files;
    files.reserve(static_cast<std::size_t>(entries.size()));
    for (const QFileInfo& entry : entries)
        files.push_back(ShelfFile::fromFileInfo(entry));

    sortShelfFiles(files, sort);
    if (files.size() > folderListLimit)
        files.resize(folderListLimit);
    return files;
}

} // namespace corvane
