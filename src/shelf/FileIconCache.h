#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QUrl>

#include <functional>

namespace corvane {

// The icons of listed files, made once per path and kept as icons that draw at the size asked
// (the rows draw them at 18 × 18). A path keeps the icon it got first until the cache is emptied,
// which happens whole once it holds more than `capacity` icons.
class FileIconCache {
public:
    using Provider = std::function<QIcon(const QString& path)>;
    static constexpr qsizetype capacity = 800;

    // Without a provider, icons come from the desktop's icon theme by file type.
    explicit FileIconCache(Provider provider = {});

    QIcon icon(const QUrl& url);
    qsizetype count() const { return m_icons.size(); }

private:
    Provider m_provider;
    QHash<QString, QIcon> m_icons;
};

} // namespace corvane
