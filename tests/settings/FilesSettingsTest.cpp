#include "settings/FilesSettings.h"

#include "settings/BoundToggle.h"
#include "settings/PinnedFolderList.h"
#include "settings/SettingsPageFixture.h"

#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "runtime/ManualScheduler.h"
#include "shelf/FileShelf.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;

TEST(FilesSettingsTest, PinningSkipsFoldersAlreadyPinnedAndKeepsTheChosenOrder) {
    ManualScheduler scheduler;
    UserDefaults defaults(std::make_unique<FakeDefaultsFile>(), scheduler);
    FileShelf shelf(defaults, scheduler);
    QTemporaryDir a, b, c;
    shelf.setFolders({a.path()});
    EXPECT_EQ(pinFolders(shelf, {c.path(), a.path(), b.path(), c.path()}), 2);
    EXPECT_EQ(shelf.folders(), QStringList({a.path(), c.path(), b.path()}));
    EXPECT_EQ(defaults.stringArray("shelfFolders")->size(), 3u);
    EXPECT_TRUE(shelf.watchedFolders().contains(b.path()));

    EXPECT_EQ(FilesSettings::trayText(0), QStringLiteral("The tray is empty."));
    EXPECT_EQ(FilesSettings::trayText(1), QStringLiteral("1 file in the tray."));
    EXPECT_EQ(FilesSettings::trayText(3), QStringLiteral("3 files in the tray."));
}

namespace corvane::testing {
namespace {

class FilesSettingsPageTest : public SettingsPageFixture {
protected:
    QStringList madeFolders(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names) {
            QDir(temp.path()).mkpath(name);
            paths.append(temp.filePath(name));
        }
        return paths;
    }
    QTemporaryDir temp;
};

TEST_F(FilesSettingsPageTest, TheChooserTakesSeveralFoldersAtOnce) {
    const QStringList folders = madeFolders({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    const std::unique_ptr<QFileDialog> dialog = FilesSettings::makeFolderDialog();
    dialog->setDirectory(temp.path());
    dialog->show();
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 3; }));
    // Ctrl-clicking two folders, as a user would.
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("c")}) {
        const QModelIndexList found = view->model()->match(view->model()->index(0, 0, view->rootIndex()),
                                                           Qt::DisplayRole, name, 1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(found.first()).center());
    }
    QMetaObject::invokeMethod(dialog.get(), "accept");
    EXPECT_EQ(FilesSettings::chosenFolders(*dialog), QStringList({folders[0], folders[2]}));
}

TEST_F(FilesSettingsPageTest, FoldersAddedTogetherAreAllPinnedAndADragReordersThem) {
    const QStringList folders = madeFolders({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    state->files().setFolders({});
    // The chooser comes up with Corvane in front
    int activatedBefore = -1;
    FilesSettings page(*settings, state->files(), state->shelf(), *platform->host, [&] {
        activatedBefore = platform->fakeHost->activateCount;
        return folders;
    });
    show(page);
    page.addFolders();
    EXPECT_EQ(activatedBefore, 1);
    ASSERT_EQ(state->files().folders(), folders);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QCoreApplication::processEvents();

    // A drags below C: B, C, A
    PinnedFolderList& list = *page.folderList();
    ASSERT_EQ(list.rows().size(), 3);
    const QPoint below(10, list.rows().last()->geometry().bottom() + 2);
    std::unique_ptr<QMimeData> data(list.dragData(0));
    QDragEnterEvent enter(below, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&list, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(below, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&list, &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(state->files().folders(), QStringList({folders[1], folders[2], folders[0]}));
    EXPECT_EQ(platform->defaults->stringArray("shelfFolders")->front(), folders[1].toStdString());

    // Dropped back onto its own place, a row stays where it is.
    QCoreApplication::processEvents();
    std::unique_ptr<QMimeData> again(list.dragData(1));
    const QPoint onItself = list.rows()[1]->geometry().center() - QPoint(0, 1);
    QDropEvent stay(onItself, Qt::MoveAction, again.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&list, &stay);
    QCoreApplication::processEvents();
    EXPECT_EQ(state->files().folders(), QStringList({folders[1], folders[2], folders[0]}));
}

TEST_F(FilesSettingsPageTest, AMissingFolderShowsItsPathInLineWithTheOthersAndNoNotchRowsAreOffered) {
    const QStringList folders = madeFolders({QStringLiteral("here")});
    state->files().setFolders({folders[0], temp.filePath(QStringLiteral("gone"))});
    FilesSettings page(*settings, state->files(), state->shelf(), *platform->host,
                       [] { return QStringList(); });
    show(page);
    const QList<QLabel*> paths = page.findChildren<QLabel*>(QStringLiteral("folderPath"));
    const QList<QLabel*> icons = page.findChildren<QLabel*>(QStringLiteral("folderIcon"));
    ASSERT_EQ(paths.size(), 2);
    ASSERT_EQ(icons.size(), 2);
    // Its path line is the path alone, as its neighbour's ("here" and "gone" in one folder)
    EXPECT_TRUE(paths[1]->text().endsWith(QStringLiteral("/gone")));
    EXPECT_EQ(paths[1]->text().chopped(4), paths[0]->text().chopped(4));
    EXPECT_EQ(icons[1]->size(), QSize(22, 22));
    EXPECT_EQ(paths[0]->mapTo(&page, QPoint()).x(), paths[1]->mapTo(&page, QPoint()).x());

    // The Tray's line is plain text, larger than the paths' captions
    const auto* tray = page.findChild<QLabel*>(QStringLiteral("trayText"));
    ASSERT_NE(tray, nullptr);
    EXPECT_GT(tray->font().pixelSize(), paths[0]->font().pixelSize());

    EXPECT_EQ(page.findChild<BoundToggle*>("notchTray"), nullptr);
    EXPECT_EQ(page.findChild<BoundToggle*>("notchAirDrop"), nullptr);
    EXPECT_EQ(page.findChild<BoundToggle*>("showFilesIcon")->titleLabel().text(),
              QStringLiteral("Folder icon in the system tray"));
    savePicture(page, "files");
}

} // namespace
} // namespace corvane::testing
