#include "shelf/ShelfRowsView.h"

#include "core/ToastController.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>

using namespace corvane;
using namespace corvane::testing;

namespace {

class ShelfRowsViewTest : public AppFixture {
protected:
    ShelfRowsViewTest() {
        buildState();
        state->files().setFolders({QStringLiteral("/data/Projects"), QStringLiteral("/data/Music")});
    }

    static QStringList menuTitles(QMenu& menu) {
        QStringList titles;
        for (QAction* action : menu.actions())
            titles.push_back(action->text());
        return titles;
    }

    static void trigger(QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions()) {
            if (action->text() == title)
                return action->trigger();
        }
        ADD_FAILURE() << "no menu item " << title.toStdString();
    }

    // Sends a drag of `urls` over `row` and drops it there when `drop` is set.
    static bool dragOver(ShelfRow& row, const QList<QUrl>& urls, bool drop) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&row, &enter);
        if (!enter.isAccepted() || !drop)
            return enter.isAccepted();
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&row, &dropped);
        return dropped.isAccepted();
    }

    static QStringList rowNames(const ShelfRowsView& view) {
        QStringList names;
        for (const ShelfRow* row : view.rows())
            names.push_back(row->name());
        return names;
    }
};

} // namespace

TEST_F(ShelfRowsViewTest, OneRowPerSourceTheStripShowsWithTheHeightTheStripCounts) {
    // Given the Tray and two pinned folders
    ShelfRowsView view(state->shelfServices(), 88);
    view.show();

    // Then the Tray comes first, each row 88 × 18, 2 apart
    EXPECT_EQ(rowNames(view),
              QStringList({QStringLiteral("Tray"), QStringLiteral("Projects"), QStringLiteral("Music")}));
    EXPECT_EQ(view.sizeHint().height(), 18 * 3 + 2 * 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(view.rows()[i]->geometry(), QRect(0, 20 * i, 88, 18));

    // When the strip places the view a column wider, the rows widen with it
    view.resize(120, view.sizeHint().height());
    EXPECT_EQ(view.rows()[0]->width(), 120);
    EXPECT_EQ(view.sizeHint().width(), 120);

    // When the strip hides the Tray, the folders remain
    settings->setStripShowTray(false);
    EXPECT_EQ(rowNames(view), QStringList({QStringLiteral("Projects"), QStringLiteral("Music")}));
    EXPECT_EQ(view.sizeHint().height(), 18 * 2 + 2);

    // When the application shows no folders and the strip no Tray, the section has no height
    settings->setShowFiles(false);
    EXPECT_TRUE(view.rows().isEmpty());
    EXPECT_EQ(view.sizeHint().height(), 0);

    // And showing the Tray again brings its row back alone
    settings->setStripShowTray(true);
    EXPECT_EQ(rowNames(view), QStringList({QStringLiteral("Tray")}));
    EXPECT_EQ(view.sizeHint().height(), 18);
}

TEST_F(ShelfRowsViewTest, RowsStayWithTheirSourcesWhenFoldersChange) {
    ShelfRowsView view(state->shelfServices(), 64);
    ShelfRow* music = view.rows()[2];

    // When a folder is pinned in front, the existing rows are kept and a new one is made
    state->files().setFolders(
        {QStringLiteral("/data/New"), QStringLiteral("/data/Projects"), QStringLiteral("/data/Music")});

    ASSERT_EQ(view.rows().size(), 4);
    EXPECT_EQ(view.rows()[1]->name(), QStringLiteral("New"));
    EXPECT_EQ(view.rows()[3], music);
    EXPECT_EQ(music->width(), 64);
}

TEST_F(ShelfRowsViewTest, TheTrayRowCountsItsFilesAndOffersToEmptyIt) {
    ShelfRowsView view(state->shelfServices(), 88);
    ShelfRow& tray = *view.rows()[0];

    // An empty Tray: no badge, no "Empty Tray"
    EXPECT_FALSE(tray.badgeCount());
    EXPECT_EQ(menuTitles(*tray.makeContextMenu()), QStringList({QStringLiteral("Open as Floating Window")}));
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Tray — drop files here, click to see them"));

    // When a file is added, the badge shows 1 at once and the menu can empty the Tray
    state->files().addToTray({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    EXPECT_EQ(tray.badgeCount(), 1);
    auto menu = tray.makeContextMenu();
    EXPECT_EQ(menuTitles(*menu),
              QStringList({QStringLiteral("Open as Floating Window"), QStringLiteral("Empty Tray")}));
    trigger(*menu, QStringLiteral("Empty Tray"));
    EXPECT_TRUE(state->files().tray().isEmpty());
    EXPECT_FALSE(tray.badgeCount());
}

TEST_F(ShelfRowsViewTest, FilesDroppedOnTheTrayRowGoToTheFrontOfTheTrayAndFolderRowsRefuseThem) {
    ShelfRowsView view(state->shelfServices(), 88);
    ShelfRow& tray = *view.rows()[0];
    ShelfRow& folder = *view.rows()[1];
    state->files().addToTray(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/b")), QUrl::fromLocalFile(QStringLiteral("/tmp/a"))});
    const QList<QUrl> dragged{QUrl::fromLocalFile(QStringLiteral("/tmp/b")),
                              QUrl::fromLocalFile(QStringLiteral("/tmp/c"))};

    // A drag over a folder row: no highlight, the folder symbol stays, nothing changes
    EXPECT_FALSE(dragOver(folder, dragged, true));
    EXPECT_FALSE(folder.isTargeted());
    EXPECT_EQ(folder.symbolName(), QStringLiteral("folder.fill"));
    EXPECT_EQ(state->files().tray(), QStringList({QStringLiteral("/tmp/a"), QStringLiteral("/tmp/b")}));

    // A drag over the Tray row highlights it and swaps its symbol
    EXPECT_TRUE(dragOver(tray, dragged, false));
    EXPECT_TRUE(tray.isTargeted());
    EXPECT_EQ(tray.symbolName(), QStringLiteral("tray.and.arrow.down.fill"));

    // Dropping there puts the files in front, one already in the Tray moving rather than repeating
    EXPECT_TRUE(dragOver(tray, dragged, true));
    EXPECT_FALSE(tray.isTargeted());
    EXPECT_EQ(tray.symbolName(), QStringLiteral("tray.fill"));
    EXPECT_EQ(state->files().tray(),
              QStringList({QStringLiteral("/tmp/c"), QStringLiteral("/tmp/b"), QStringLiteral("/tmp/a")}));
}

TEST_F(ShelfRowsViewTest, TheMenuOpensAndClosesTheFloatingPanelAndTheDotFollowsIt) {
    ShelfRowsView view(state->shelfServices(), 88);
    ShelfRow& folder = *view.rows()[1];
    EXPECT_FALSE(folder.showsFloatingDot());

    // Opening as a floating window shows the dot and turns the item into its opposite
    auto menu = folder.makeContextMenu();
    EXPECT_EQ(menuTitles(*menu), QStringList({QStringLiteral("Open as Floating Window"),
                                              QStringLiteral("Open in File Manager")}));
    trigger(*menu, QStringLiteral("Open as Floating Window"));
    EXPECT_TRUE(state->shelf().hasFloatingPanel(ShelfSource::folder(QStringLiteral("/data/Projects"))));
    EXPECT_TRUE(folder.showsFloatingDot());
    EXPECT_FALSE(view.rows()[2]->showsFloatingDot());

    // Closing it from the next menu removes the dot
    menu = folder.makeContextMenu();
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Close Floating Window"));
    trigger(*menu, QStringLiteral("Close Floating Window"));
    EXPECT_FALSE(folder.showsFloatingDot());
    EXPECT_EQ(folder.makeContextMenu()->actions().front()->text(), QStringLiteral("Open as Floating Window"));
}

TEST_F(ShelfRowsViewTest, AFolderRowOpensItsFolderInTheFileManagerAndNamesItInItsTooltip) {
    ShelfRowsView view(state->shelfServices(), 88);
    ShelfRow& folder = *view.rows()[1];

    trigger(*folder.makeContextMenu(), QStringLiteral("Open in File Manager"));

    EXPECT_EQ(platform->fakeShell->openedUrls, std::vector<QString>{QStringLiteral("file:///data/Projects")});
    EXPECT_EQ(folder.toolTip(), QStringLiteral("Projects — click to see files"));

    // A folder no program opens is told in a toast, with the reason
    platform->fakeShell->urlOpens = false;
    trigger(*folder.makeContextMenu(), QStringLiteral("Open in File Manager"));
    EXPECT_EQ(state->toast().lastMessage(),
              QStringLiteral("Could not open \u201cProjects\u201d in the file manager: ") +
                  platform->fakeShell->openFailure);
}

TEST_F(ShelfRowsViewTest, ALongFolderNameIsCutAtTheEndAndTheRowStaysOneLineHigh) {
    const QString longName = QStringLiteral("A folder with a name far too long for any strip width");
    state->files().setFolders({QStringLiteral("/data/") + longName});
    ShelfRowsView view(state->shelfServices(), 64);
    const ShelfRow& folder = *view.rows()[1];

    EXPECT_EQ(folder.name(), longName);
    EXPECT_TRUE(folder.shownName().endsWith(QChar(0x2026)));
    EXPECT_TRUE(longName.startsWith(folder.shownName().chopped(1)));
    EXPECT_EQ(folder.height(), 18);
}
