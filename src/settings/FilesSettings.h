#pragma once

#include "settings/SettingsPage.h"

#include <QStringList>

#include <functional>
#include <memory>

class QFileDialog;
class QLabel;
class QPushButton;

namespace corvane {

class ApplicationHost;
class FileShelf;
class FileShelfController;
class PinnedFolderList;
class Settings;

// Pins each chosen folder not pinned yet at the end of the list, saving and watching after each;
// a folder already pinned (the same path text) is skipped. Gives the number pinned.
int pinFolders(FileShelf& shelf, const QStringList& chosen);

// The Files & Tray page: where the shelf shows, the sort and the floating windows' level; the
// pinned folders with add, reorder, float and remove; the Tray's count with float and empty.
class FilesSettings : public SettingsPage {
    Q_OBJECT
public:
    // Asks the user for folders to pin; none when cancelled.
    using FolderChooser = std::function<QStringList()>;

    FilesSettings(Settings& settings, FileShelf& shelf, FileShelfController& controller,
                  ApplicationHost& host, FolderChooser chooser = {}, QWidget* parent = nullptr);

    // "The tray is empty.", "1 file in the tray.", "3 files in the tray."
    static QString trayText(qsizetype count);
    // Brings Corvane to the front, runs the folder chooser and pins what it gives.
    void addFolders();
    // The chooser "Add Folder…" runs: folders only, several at once, prompt "Pin Folder".
    static std::unique_ptr<QFileDialog> makeFolderDialog();
    // The local folders an accepted chooser gives, in its order.
    static QStringList chosenFolders(const QFileDialog& dialog);
    PinnedFolderList* folderList() const { return m_folderRows; }

private:
    void rebuildFolders();
    void refreshTray();
    static QStringList chooseFolders();

    FileShelf& m_shelf;
    FileShelfController& m_controller;
    ApplicationHost& m_host;
    FolderChooser m_chooser;
    PinnedFolderList* m_folderRows;
    QLabel* m_trayText;
    QPushButton* m_emptyTray;
};

} // namespace corvane
