#include "shelf/FileContextMenu.h"

#include "platform/SystemShell.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfPath.h"
#include "shelf/ShelfTransfer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace corvane {

namespace {

QList<QUrl> urlsOf(const QList<ShelfFile>& files) {
    QList<QUrl> urls;
    for (const ShelfFile& file : files)
        urls.append(file.url);
    return urls;
}

} // namespace

void removeFromTray(FileShelf& shelf, const QList<ShelfFile>& files) {
    for (const ShelfFile& file : files) {
        QStringList tray = shelf.tray();
        tray.removeIf([&file](const QString& path) { return samePath(path, file.id()); });
        shelf.setTray(tray);
        shelf.save();
    }
}

std::unique_ptr<QMenu> makeFileContextMenu(const QList<ShelfFile>& files, const ShelfSource& source,
                                           FileShelf& shelf, SystemShell& shell,
                                           std::function<void()> preview) {
    auto menu = std::make_unique<QMenu>();
    const qsizetype n = files.size();
    const bool many = n >= 2;
    const QString count = QString::number(n);

    menu->addAction(many ? QStringLiteral("Open %1 Files").arg(count) : QStringLiteral("Open"),
                    [&shell, files] {
                        for (const ShelfFile& file : files) {
                            if (file.exists)
                                shell.openUrl(file.url.toString());
                        }
                    });
    menu->addAction(QStringLiteral("Preview"), [preview] {
        if (preview)
            preview();
    });
    menu->addAction(QStringLiteral("Show in File Manager"),
                    [&shell, files] { shell.revealFiles(urlsOf(files)); });
    menu->addAction(many ? QStringLiteral("Copy %1 Files").arg(count) : QStringLiteral("Copy"),
                    [files] { QGuiApplication::clipboard()->setMimeData(fileMimeData(urlsOf(files))); });
    menu->addSeparator();
    if (source.isTray()) {
        menu->addAction(many ? QStringLiteral("Remove %1 from Tray").arg(count)
                             : QStringLiteral("Remove from Tray"),
                        [&shelf, files] { removeFromTray(shelf, files); });
    } else {
        menu->addAction(many ? QStringLiteral("Add %1 to Tray").arg(count) : QStringLiteral("Add to Tray"),
                        [&shelf, files] { shelf.addToTray(urlsOf(files)); });
    }
    return menu;
}

} // namespace corvane
