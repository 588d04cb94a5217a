#pragma once

#include "platform/SystemShell.h"
#include "shelf/ShelfFile.h"
#include "shelf/ShelfSource.h"

#include <QList>

#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace corvane {

class FileShelf;
struct FileListActions;

// The menu of a file list's selection: open, preview, show in the file manager, copy, and add
// to or remove from the Tray. Every entry acts on `files` as given, whatever is selected later.
// The actions' `preview` runs the preview entry; an open or a show that fails is reported once
// through their `reportFailure`.
std::unique_ptr<QMenu> makeFileContextMenu(const QList<ShelfFile>& files, const ShelfSource& source,
                                           FileShelf& shelf, SystemShell& shell,
                                           const FileListActions& actions);

// What the user is told when `failed` files did not open: the one file's name, or how many did
// not, and the first failure's reason.
QString openFailureMessage(const QList<ShelfFile>& failed, const QString& reason);
// Opens each of `files` with `open`, and answers what the user is told when any did not open
// (`openFailureMessage` of those, with the first reason); none when every one did.
std::optional<QString> openEach(const QList<ShelfFile>& files,
                                const std::function<ShellOutcome(const ShelfFile&)>& open);
// The same for files the file manager could not show, and for a folder it could not open.
QString showFailureMessage(const QList<ShelfFile>& files, const QString& reason);
QString folderFailureMessage(const QString& folder, const QString& reason);

// Takes every entry equal to one of the files' paths off the Tray and saves; nothing on disk is
// touched.
void removeFromTray(FileShelf& shelf, const QList<ShelfFile>& files);

} // namespace corvane
