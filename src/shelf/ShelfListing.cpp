#include "shelf/ShelfListing.h"

#include "shelf/NaturalNameComparer.h"

#include <QDir>
#include <QFile>

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

namespace {

// Keeping only the first `limit` needs no sort of the rest. Ties are broken by the listing
// position, which makes the order total: the kept entries are then exactly those a stable sort
// of the whole listing puts first, in the same order.
// `order` answers negative, zero or positive as its first item sorts before, with or after the other.
template <typename Item, typename Order>
void keepFirst(std::vector<Item>& items, std::size_t limit, Order order) {
    const auto by = [&](const Item& a, const Item& b) {
        const int result = order(a, b);
        return result != 0 ? result < 0 : a.position < b.position;
    };
    const std::size_t kept = std::min(limit, items.size());
    std::partial_sort(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(kept), items.end(), by);
    items.resize(kept);
}

struct Dated {
    std::size_t position;
    qint64 ms;
    FileFacts facts;
};

struct Named {
    std::size_t position;
    QString name;
};

} // namespace

std::vector<ShelfFile> listFolder(const QString& path, ShelfSort sort, std::size_t limit) {
    // A relative or empty path would list the working folder: it names no folder of the user's.
    if (!QDir::isAbsolutePath(path))
        return {};
    FolderReader folder(path);
    if (!folder.isOpen())
        return {};
    // System entries are listed too (sockets, pipes, devices, links whose target is gone); hidden
    // ones are not.
    std::vector<FolderEntry> entries = folder.entries();
    std::erase_if(entries, [](const FolderEntry& entry) { return entry.name.startsWith('.'); });

    QString base = QDir::cleanPath(path);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    std::vector<ShelfFile> files;
    const auto add = [&](const FolderEntry& entry, const FileFacts& facts) {
        files.push_back(ShelfFile::fromEntry(base, entry.name, facts));
    };

    switch (sort) {
    case ShelfSort::newest: {
        // Every entry's date is needed; a name is made only for the entries kept.
        const qint64 past = ShelfFile::distantPast().toMSecsSinceEpoch();
        std::vector<Dated> dated;
        dated.reserve(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const FileFacts facts = folder.facts(entries[i].name);
            const bool known = facts.kind != FileKind::missing && facts.modifiedMs;
            dated.push_back(Dated{i, known ? *facts.modifiedMs : past, facts});
        }
        keepFirst(dated, limit,
                  [](const Dated& a, const Dated& b) { return a.ms > b.ms ? -1 : (a.ms < b.ms ? 1 : 0); });
        files.reserve(dated.size());
        for (const Dated& item : dated)
            add(entries[item.position], item.facts);
        break;
    }
    case ShelfSort::name: {
        // Names alone decide the order: only the entries kept are asked for their facts.
        std::vector<Named> named;
        named.reserve(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            named.push_back(Named{i, QFile::decodeName(entries[i].name)});
        const NaturalNameComparer comparer;
        keepFirst(named, limit,
                  [&](const Named& a, const Named& b) { return comparer.compare(a.name, b.name); });
        files.reserve(named.size());
        for (const Named& item : named)
            add(entries[item.position], folder.facts(entries[item.position].name));
        break;
    }
    }
    return files;
}

std::vector<ShelfFile> trayFiles(const QStringList& paths) {
    std::vector<ShelfFile> files;
    files.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths)
        files.push_back(ShelfFile::fromPath(path));
    return files;
}

} // namespace corvane
