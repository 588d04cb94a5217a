#include "clipboard/FileList.h"

namespace corvane {

FileList::FileList(const QList<QUrl>& urls) {
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            append(url.toLocalFile());
}

void FileList::append(QStringView path) {
    if (path.contains(QChar(u'\0')))
        return;
    m_text.append(path);
    m_text.append(QChar(u'\0'));
    ++m_count;
}

QString FileList::first() const {
    return m_count == 0 ? QString() : m_text.left(m_text.indexOf(QChar(u'\0')));
}

QStringList FileList::paths() const {
    QStringList paths;
    paths.reserve(m_count);
    forEach([&](QStringView path) { paths.append(path.toString()); });
    return paths;
}

QList<QUrl> FileList::urls() const {
    QList<QUrl> urls;
    urls.reserve(m_count);
    forEach([&](QStringView path) { urls.append(QUrl::fromLocalFile(path.toString())); });
    return urls;
}

} // namespace corvane
