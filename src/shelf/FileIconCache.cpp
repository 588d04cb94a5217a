#include "shelf/FileIconCache.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include <memory>

namespace corvane {

FileIconCache::FileIconCache(Provider provider) : m_provider(std::move(provider)) {
    if (!m_provider) {
        // Made on first use: the theme is only there once the application runs.
        m_provider = [theme = std::shared_ptr<QFileIconProvider>()](const QString& path) mutable {
            if (!theme)
                theme = std::make_shared<QFileIconProvider>();
            return theme->icon(QFileInfo(path));
        };
    }
}

QIcon FileIconCache::icon(const QUrl& url) {
    const QString path = url.toLocalFile();
    if (const auto cached = m_icons.constFind(path); cached != m_icons.constEnd())
        return *cached;
    QIcon made = m_provider(path);
    if (m_icons.size() > capacity)
        m_icons.clear();
    m_icons.insert(path, made);
    return made;
}

} // namespace corvane
