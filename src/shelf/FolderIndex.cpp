#include "shelf/FolderIndex.h"

#include "platform/FileFacts.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace corvane {

namespace {

// Deleting many shown entries at once costs a scan of the rest for each: past this many, listing
// the folder again is cheaper.
constexpr int promotionsPerBatch = 16;

qint64 msOf(const FileFacts& facts) {
    const bool known = facts.kind != FileKind::missing && facts.modifiedMs;
    return known ? *facts.modifiedMs : ShelfFile::distantPast().toMSecsSinceEpoch();
}

} // namespace

FolderIndex::FolderIndex(QString path, ShelfSort sort, std::size_t limit) : m_sort(sort), m_limit(limit) {
    if (!QDir::isAbsolutePath(path))
        return;
    m_base = QDir::cleanPath(path);
    if (!m_base.endsWith(QLatin1Char('/')))
        m_base += QLatin1Char('/');
    FolderReader folder(path);
    m_open = folder.isOpen();
    if (!m_open)
        return;
    std::vector<FolderEntry> entries = folder.entries();
    std::erase_if(entries, [](const FolderEntry& entry) { return entry.name.startsWith('.'); });

    // Under `name` only the entries shown are asked for their facts, as a listing does.
    std::vector<Key> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Key key;
        key.position = static_cast<qint64>(i);
        if (m_sort == ShelfSort::name)
            key.name = QFile::decodeName(entries[i].name);
        else
            key.ms = msOf(folder.facts(entries[i].name));
        keys.push_back(std::move(key));
    }
    std::vector<std::size_t> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const std::size_t kept = std::min(m_limit, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept), order.end(),
                      [&](std::size_t a, std::size_t b) {
                          const int result = compareKeys(keys[a], keys[b]);
                          return result != 0 ? result < 0 : keys[a].position < keys[b].position;
                      });
    m_head.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i) {
        const QByteArray& stored = entries[order[i]].name;
        m_head.push_back(Shown{stored, keys[order[i]], fileOf(stored, folder.facts(stored))});
    }
    m_rest.reserve(static_cast<qsizetype>(order.size() - kept));
    for (std::size_t i = kept; i < order.size(); ++i) {
        const Key& key = keys[order[i]];
        m_rest.insert(entries[order[i]].name, Hidden{key.ms, key.position});
    }
}

int FolderIndex::compareKeys(const Key& a, const Key& b) const {
    int result = 0;
    if (m_sort == ShelfSort::name)
        result = m_comparer.compare(a.name, b.name);
    else
        result = a.ms > b.ms ? -1 : (a.ms < b.ms ? 1 : 0);
    return result;
}

FolderIndex::Key FolderIndex::keyOf(const QByteArray& stored, const FileFacts& facts, qint64 position) const {
    Key key;
    key.position = position;
    if (m_sort == ShelfSort::name)
        key.name = QFile::decodeName(stored);
    else
        key.ms = msOf(facts);
    return key;
}

ShelfFile FolderIndex::fileOf(const QByteArray& stored, const FileFacts& facts) const {
    return ShelfFile::fromEntry(m_base, stored, facts);
}

std::vector<ShelfFile> FolderIndex::shown() const {
    std::vector<ShelfFile> files;
    files.reserve(m_head.size());
    for (const Shown& entry : m_head)
        files.push_back(entry.file);
    return files;
}

bool FolderIndex::place(Shown entry, bool first) {
    // The entries whose name or date equals this one's: their order is the file system's.
    auto at = std::lower_bound(m_head.begin(), m_head.end(), entry.key,
                               [&](const Shown& a, const Key& b) { return compareKeys(a.key, b) < 0; });
    while (at != m_head.end()) {
        if (compareKeys(at->key, entry.key) != 0)
            break;
        if (at->key.position == unknownPosition || entry.key.position == unknownPosition)
            return false;
        if (at->key.position > entry.key.position)
            break;
        ++at;
    }
    const auto index = static_cast<std::size_t>(at - m_head.begin());
    // After every entry shown while others wait past the list (a shown entry just taken out left
    // room): it competes with those for the room, unless it is the first of them.
    if (index >= m_limit || (index == m_head.size() && !m_rest.isEmpty() && !first)) {
        m_rest.insert(entry.stored, Hidden{entry.key.ms, entry.key.position});
        return true;
    }
    m_head.insert(at, std::move(entry));
    if (m_head.size() > m_limit) {
        Shown& last = m_head.back();
        m_rest.insert(last.stored, Hidden{last.key.ms, last.key.position});
        m_head.pop_back();
    }
    return true;
}

bool FolderIndex::promote(const FolderReader& folder) {
    // The first of the rest by name or date; among equals, by the file system's order.
    const QByteArray* best = nullptr;
    Key bestKey;
    // A tie with an entry whose place in the listing is not known cannot be decided.
    bool undecided = false;
    for (auto it = m_rest.cbegin(); it != m_rest.cend(); ++it) {
        Key key;
        key.ms = it->ms;
        if (m_sort == ShelfSort::name)
            key.name = QFile::decodeName(it.key());
        const int result = best ? compareKeys(key, bestKey) : -1;
        if (result < 0) {
            best = &it.key();
            bestKey = std::move(key);
            bestKey.position = it->position;
            undecided = false;
        } else if (result == 0) {
            if (it->position == unknownPosition || bestKey.position == unknownPosition) {
                undecided = true;
            } else if (it->position < bestKey.position) {
                best = &it.key();
                bestKey.position = it->position;
            }
        }
    }
    if (!best)
        return true;
    if (undecided)
        return false;
    const QByteArray stored = *best;
    m_rest.remove(stored);
    const FileFacts facts = folder.facts(stored);
    Shown entry{stored, bestKey, fileOf(stored, facts)};
    return place(std::move(entry), true);
}

bool FolderIndex::apply(const std::vector<QByteArray>& names) {
    FolderReader folder(m_base);
    if (!m_open || !folder.isOpen())
        return false;
    int promotions = 0;
    for (const QByteArray& stored : names) {
        if (stored.isEmpty() || stored.startsWith('.') || stored.contains('/'))
            continue;
        // Taken out wherever it stands; what is there now comes back in as a new entry, whose
        // place in the file system's listing is not known.
        bool wasShown = false;
        const auto shown = std::find_if(m_head.begin(), m_head.end(),
                                        [&](const Shown& entry) { return entry.stored == stored; });
        if (shown != m_head.end()) {
            m_head.erase(shown);
            wasShown = true;
        } else {
            m_rest.remove(stored);
        }
        if (folder.contains(stored)) {
            const FileFacts facts = folder.facts(stored);
            if (!place(Shown{stored, keyOf(stored, facts, unknownPosition), fileOf(stored, facts)}))
                return false;
        }
        if (wasShown && m_head.size() < m_limit && !m_rest.isEmpty()) {
            if (++promotions > promotionsPerBatch || !promote(folder))
                return false;
        }
    }
    return true;
}

} // namespace corvane
