#pragma once

#include "platform/FileFacts.h"

#include <QHash>
#include <QIcon>
#include <QString>
#include <QUrl>

#include <functional>

namespace corvane {

struct ShelfFile;

// The icons of listed files, made once per path and kept as icons that draw at the size asked
// (the rows draw them at 18 × 18). A path keeps the icon it got first until the cache is emptied,
// which happens whole once it holds more than `capacity` icons.
class FileIconCache {
public:
    using Provider = std::function<QIcon(const QString& path, FileKind kind)>;
    static constexpr qsizetype capacity = 800;

    // Without a provider, icons come from the desktop's icon theme by file type
    // (`fileTypeIcon`), from the name and kind alone.
    explicit FileIconCache(Provider provider = {});

    // A listed file's icon, by its kind and name.
    QIcon icon(const ShelfFile& file);
    // A file known only by its URL: by its name.
    QIcon icon(const QUrl& url);
    qsizetype count() const { return m_icons.size(); }

private:
    QIcon icon(const QString& path, FileKind kind);

    Provider m_provider;
    QHash<QString, QIcon> m_icons;
};

} // namespace corvane
