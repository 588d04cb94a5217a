#include "shelf/FileIconCache.h"

#include "shelf/FileTypeIcon.h"
#include "shelf/ShelfFile.h"

namespace corvane {

FileIconCache::FileIconCache(Provider provider) : m_provider(std::move(provider)) {
    if (!m_provider)
        m_provider = &fileTypeIcon;
}

QIcon FileIconCache::icon(const ShelfFile& file) {
    return icon(file.id(), file.kind);
}

QIcon FileIconCache::icon(const QUrl& url) {
    return icon(url.toLocalFile(), FileKind::regular);
}

QIcon FileIconCache::icon(const QString& path, FileKind kind) {
    if (const auto cached = m_icons.constFind(path); cached != m_icons.constEnd())
        return *cached;
    QIcon made = m_provider(path, kind);
    if (m_icons.size() > capacity)
        m_icons.clear();
    m_icons.insert(path, made);
    return made;
}

} // namespace corvane
