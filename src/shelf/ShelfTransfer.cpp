#include "shelf/ShelfTransfer.h"

#include <QMimeData>

namespace corvane {

QList<QUrl> localFileUrls(const QMimeData& data) {
    QList<QUrl> files;
    if (!data.hasUrls())
        return files;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.append(url);
    }
    return files;
}

QMimeData* fileMimeData(const QList<QUrl>& files) {
    auto* data = new QMimeData;
    data->setUrls(files);
    QByteArray copied = "copy";
    for (const QUrl& file : files)
        copied += '\n' + file.toEncoded();
    data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
    return data;
}

} // namespace corvane
