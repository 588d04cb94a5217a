#pragma once

#include <QList>
#include <QUrl>

class QMimeData;

namespace corvane {

// The local files among the URLs of a drop or paste: only these can go into the Tray.
QList<QUrl> localFileUrls(const QMimeData& data);

// Files as other programs take them from a drag or the clipboard: "text/uri-list", and the
// copy marker of the common file managers ("x-special/gnome-copied-files") so that pasting copies.
QMimeData* fileMimeData(const QList<QUrl>& files);

} // namespace corvane
