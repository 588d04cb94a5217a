#include "shelf/FileContextMenu.h"

#include "platform/SystemShell.h"
#include "shelf/FileListActions.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfPath.h"
#include "shelf/ShelfTransfer.h"

#include <QClipboard>
#include <QDir>
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

QString quotedName(const QString& name) {
    return QStringLiteral("\u201c") + shownName(name) + QStringLiteral("\u201d");
}

QString namedOrCounted(const QList<ShelfFile>& files) {
    return files.size() == 1 ? quotedName(files.first().name) : QStringLiteral("%1 files").arg(files.size());
}

} // namespace

QString openFailureMessage(const QList<ShelfFile>& failed, const QString& reason) {
    return QStringLiteral("Could not open %1: %2").arg(namedOrCounted(failed), reason);
}

std::optional<QString> openEach(const QList<ShelfFile>& files,
                                const std::function<ShellOutcome(const ShelfFile&)>& open) {
    QList<ShelfFile> failed;
    QString reason;
    for (const ShelfFile& file : files) {
        const ShellOutcome outcome = open(file);
        if (!outcome.failure)
            continue;
        if (failed.isEmpty())
            reason = *outcome.failure;
        failed.append(file);
    }
    if (failed.isEmpty())
        return std::nullopt;
    return openFailureMessage(failed, reason);
}

QString showFailureMessage(const QList<ShelfFile>& files, const QString& reason) {
    return QStringLiteral("Could not show %1 in the file manager: %2").arg(namedOrCounted(files), reason);
}

QString folderFailureMessage(const QString& folder, const QString& reason) {
    return QStringLiteral("Could not open %1 in the file manager: %2")
        .arg(quotedName(QDir(folder).dirName()), reason);
}

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
                                           const FileListActions& actions) {
    auto menu = std::make_unique<QMenu>();
    const qsizetype n = files.size();
    const bool many = n >= 2;
    const QString count = QString::number(n);

    menu->addAction(many ? QStringLiteral("Open %1 Files").arg(count) : QStringLiteral("Open"),
                    [&shell, files, report = actions.reportFailure] {
                        // Files gone since the menu opened are passed over.
                        const std::optional<QString> failure =
                            openEach(files, [&shell](const ShelfFile& file) {
                                return file.exists ? shell.openUrl(file.url.toString()) : ShellOutcome{};
                            });
                        if (failure && report)
                            report(*failure);
                    });
    menu->addAction(QStringLiteral("Preview"), [preview = actions.preview] {
        if (preview)
            preview();
    });
    menu->addAction(QStringLiteral("Show in File Manager"), [&shell, files, report = actions.reportFailure] {
        shell.revealFiles(urlsOf(files), [files, report](const ShellOutcome& outcome) {
            if (outcome.failure && report)
                report(showFailureMessage(files, *outcome.failure));
        });
    });
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
