#include "settings/FilesSettings.h"

#include "platform/ApplicationHost.h"
#include "settings/BoundPicker.h"
#include "settings/BoundRow.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"
#include "settings/PinnedFolderList.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "shelf/ShelfPath.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane {

namespace Keys = SettingKeys;

namespace {

QString tildePath(const QString& path) {
    const QString home = QDir::homePath();
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + path.mid(home.size());
    return path;
}

QToolButton* smallButton(const QString& text, const QString& tip) {
    auto* button = new QToolButton;
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

void toggleFloating(FileShelfController& controller, const ShelfSource& source) {
    if (controller.hasFloatingPanel(source)) {
        controller.closeFloating(source);
    } else {
        controller.closePopover();
        controller.openFloating(source);
    }
}

} // namespace

int pinFolders(FileShelf& shelf, const QStringList& chosen) {
    int pinned = 0;
    for (const QString& path : chosen) {
        if (path.isEmpty() || shelf.folders().contains(path))
            continue;
        QStringList folders = shelf.folders();
        folders.append(path);
        shelf.setFolders(folders);
        shelf.save();
        shelf.syncWatchers();
        ++pinned;
    }
    return pinned;
}

QString FilesSettings::trayText(qsizetype count) {
    if (count == 0)
        return QStringLiteral("The tray is empty.");
    return QStringLiteral("%1 file%2 in the tray.")
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}

FilesSettings::FilesSettings(Settings& settings, FileShelf& shelf, FileShelfController& controller,
                             ApplicationHost& host, FolderChooser chooser, QWidget* parent)
    : SettingsPage(SettingsTab::files, parent), m_shelf(shelf), m_controller(controller), m_host(host),
      m_chooser(chooser ? std::move(chooser) : FolderChooser(&FilesSettings::chooseFolders)) {
    FormSection& strip = *addSection(QStringLiteral("In the strip"));
    strip.addRow(new BoundToggle(settings, Keys::showTray, QStringLiteral("Show Tray"),
                                 QStringLiteral("Drop files on it from anywhere to keep them handy. Only the "
                                                "location is saved \u2014 nothing is copied.")));
    strip.addRow(new BoundToggle(settings, Keys::showFiles, QStringLiteral("Show pinned folders")));
    // No notch drop or AirDrop rows: no screen here has a notch, and there is no AirDrop. Their
    // stored choices stay as they are.
    strip.addRow(
        new BoundToggle(settings, Keys::showFilesIcon, QStringLiteral("Folder icon in the system tray"),
                        QStringLiteral("Opens Tray, Downloads and your other folders right by the icon.")));
    strip.addRow(QStringLiteral("Sort files"),
                 new BoundPicker(settings, Keys::shelfSort,
                                 Choices<ShelfSort>{{ShelfSort::newest, QStringLiteral("Newest first")},
                                                    {ShelfSort::name, QStringLiteral("Name")}}));
    strip.addRow(new BoundToggle(settings, Keys::shelfAlwaysOnTop,
                                 QStringLiteral("Floating file windows stay on top"),
                                 QStringLiteral("Click \u2197 in a file list to float it over all apps.")));

    FormSection& pinned = *addSection(QStringLiteral("Pinned folders"));
    m_folderRows = new PinnedFolderList;
    m_folderRows->onMove = [this](int from, int destination) { m_shelf.moveFolders({from}, destination); };
    pinned.addRow(m_folderRows);
    auto* add = new QPushButton(QStringLiteral("Add Folder\u2026"));
    connect(add, &QPushButton::clicked, this, &FilesSettings::addFolders);
    auto* addRow = new QWidget;
    auto* addLayout = new QHBoxLayout(addRow);
    addLayout->setContentsMargins(0, 0, 0, 0);
    addLayout->addWidget(add);
    addLayout->addStretch(1);
    pinned.addRow(addRow);

    FormSection& tray = *addSection(QStringLiteral("Tray"));
    auto* trayRow = new QWidget;
    auto* trayLayout = new QHBoxLayout(trayRow);
    trayLayout->setContentsMargins(0, 0, 0, 0);
    m_trayText = secondaryLabel(QString(), 13);
    m_trayText->setObjectName(QStringLiteral("trayText"));
    trayLayout->addWidget(m_trayText);
    trayLayout->addStretch(1);
    auto* floatTray = new QPushButton(QStringLiteral("Open as Floating Window"));
    connect(floatTray, &QPushButton::clicked, this,
            [this] { toggleFloating(m_controller, ShelfSource::tray()); });
    trayLayout->addWidget(floatTray);
    m_emptyTray = new QPushButton(QStringLiteral("Empty Tray"));
    connect(m_emptyTray, &QPushButton::clicked, this, [this] { m_shelf.clearTray(); });
    trayLayout->addWidget(m_emptyTray);
    tray.addRow(trayRow);

    connect(&m_shelf, &FileShelf::foldersChanged, this, &FilesSettings::rebuildFolders);
    connect(&m_shelf, &FileShelf::trayChanged, this, &FilesSettings::refreshTray);
    rebuildFolders();
    refreshTray();
}

void FilesSettings::refreshTray() {
    m_trayText->setText(trayText(m_shelf.tray().size()));
    m_emptyTray->setEnabled(!m_shelf.tray().isEmpty());
}

void FilesSettings::rebuildFolders() {
    QList<QWidget*> rows;
    const QStringList folders = m_shelf.folders();
    for (int i = 0; i < folders.size(); ++i) {
        const QString path = folders[i];
        auto* row = new QWidget;
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(10);
        // A folder that is gone still gets a folder's picture, greyed, at the same size, so that
        // its names stay in line with the other rows'.
        const bool missing = !QFileInfo(path).isDir();
        const QIcon folderIcon = missing ? QFileIconProvider().icon(QFileIconProvider::Folder)
                                         : QFileIconProvider().icon(QFileInfo(path));
        auto* icon = new QLabel;
        icon->setObjectName(QStringLiteral("folderIcon"));
        icon->setFixedSize(22, 22);
        icon->setPixmap(folderIcon.pixmap(22, 22, missing ? QIcon::Disabled : QIcon::Normal));
        line->addWidget(icon, 0, Qt::AlignVCenter);
        auto* names = new QVBoxLayout;
        names->setSpacing(0);
        // A folder's name is text, never markup or a line break of its own.
        auto* name = new QLabel(shownName(shelfDisplayName(path)));
        name->setTextFormat(Qt::PlainText);
        names->addWidget(name);
        QLabel* where = captionLabel(shownName(tildePath(path)));
        where->setObjectName(QStringLiteral("folderPath"));
        where->setTextFormat(Qt::PlainText);
        names->addWidget(where);
        line->addLayout(names, 1);
        QToolButton* floatButton =
            smallButton(QStringLiteral("\u2197"), QStringLiteral("Open as floating window"));
        connect(floatButton, &QToolButton::clicked, this,
                [this, path] { toggleFloating(m_controller, ShelfSource::folder(path)); });
        QToolButton* remove = smallButton(QStringLiteral("\u2212"), QStringLiteral("Remove"));
        connect(remove, &QToolButton::clicked, this, [this, path] { m_shelf.removeFolder(path); });
        for (QToolButton* button : {floatButton, remove})
            line->addWidget(button);
        rows.append(row);
    }
    m_folderRows->setRows(rows);
}

void FilesSettings::addFolders() {
    // The chooser comes up in front of whatever program the user was in.
    m_host.activate();
    pinFolders(m_shelf, m_chooser());
}

std::unique_ptr<QFileDialog> FilesSettings::makeFolderDialog() {
    auto dialog = std::make_unique<QFileDialog>(nullptr, QStringLiteral("Pin Folder"));
    // Qt's own dialog: the desktop's may not be there, and only this one lets several folders be
    // chosen at once, with Ctrl and Shift as in any list.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Pin Folder"));
    for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
        if (view->objectName() == QLatin1String("listView") ||
            view->objectName() == QLatin1String("treeView"))
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    return dialog;
}

QStringList FilesSettings::chosenFolders(const QFileDialog& dialog) {
    QStringList paths;
    for (const QUrl& url : dialog.selectedUrls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

QStringList FilesSettings::chooseFolders() {
    const std::unique_ptr<QFileDialog> dialog = makeFolderDialog();
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return chosenFolders(*dialog);
}

} // namespace corvane
