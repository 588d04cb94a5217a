#pragma once

#include "shelf/ShelfFile.h"
#include "shelf/ShelfSource.h"

#include <QList>

#include <functional>
#include <memory>

class QMenu;

namespace corvane {

class FileShelf;
class SystemShell;

// The menu of a file list's selection: open, preview, show in the file manager, copy, and add
// to or remove from the Tray. Every entry acts on `files` as given, whatever is selected later.
std::unique_ptr<QMenu> makeFileContextMenu(const QList<ShelfFile>& files, const ShelfSource& source,
                                           FileShelf& shelf, SystemShell& shell,
                                           std::function<void()> preview);

// Takes every entry equal to one of the files' paths off the Tray and saves; nothing on disk is
// touched.
void removeFromTray(FileShelf& shelf, const QList<ShelfFile>& files);

} // namespace corvane
