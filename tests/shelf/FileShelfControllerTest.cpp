#include "shelf/FileShelfController.h"

#include "core/Colors.h"
#include "core/ToastController.h"
#include "platform/fake/FakeSystemShell.h"
#include "platform/fake/FakeTray.h"
#include "shelf/FileContextMenu.h"
#include "shelf/FileListActions.h"
#include "shelf/FileListHeader.h"
#include "shelf/FileListView.h"
#include "shelf/FilePanel.h"
#include "shelf/FileRowView.h"
#include "shelf/FileShelf.h"
#include "shelf/PreviewPanel.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfRectText.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarPanel.h"
#include "support/AppFixture.h"
#include "support/MotionReference.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace corvane;
using corvane::testing::AppFixture;
using corvane::testing::easeOut;

namespace {

class FileShelfControllerTest : public AppFixture {
protected:
    FileShelfControllerTest() {
        platform->fakeScreens->setScreens(
            {ScreenInfo{QStringLiteral("A"), QRectF(0, 0, 1440, 900), QRectF(0, 30, 1440, 870)}});
        platform->fakeScreens->setPointer(QPointF(700, 400));
    }

    FileShelfController& controller() {
        if (!state)
            buildState();
        return state->shelf();
    }
    void store(const std::string& key, Json value) { platform->defaults->set(key, std::move(value)); }
    // A floating panel on `folder`, sorted by name, holding `names`, each file holding its name.
    FilePanel& openFolderOf(const QTemporaryDir& folder, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(name);
        }
        buildState();
        settings->setShelfSort(ShelfSort::name);
        controller().openFloating(ShelfSource::folder(folder.path()));
        return *controller().floatingPanel(ShelfSource::folder(folder.path()));
    }
};

TEST_F(FileShelfControllerTest, PopoverAndNewFloatingPanelsTakeTheirFrames) {
    // Centred under the anchor, kept 8 in from the visible frame's edges, 6 below its top.
    EXPECT_EQ(controller().popoverFrame(QRectF(600, 0, 24, 24)), QRectF(482, 36, 260, 360));
    EXPECT_EQ(controller().popoverFrame(QRectF(1430, 0, 10, 24)), QRectF(1172, 36, 260, 360));
    // Over a tray at the bottom of the screen instead.
    EXPECT_EQ(controller().popoverFrame(QRectF(600, 880, 24, 20))->bottom(), 900 - 6);

    EXPECT_EQ(controller().defaultFloatingFrame(0), QRectF(1440 - 230 - 24, 30 + 24, 230, 300));
    EXPECT_EQ(controller().defaultFloatingFrame(2), QRectF(1440 - 230 - 24 - 56, 30 + 24 + 56, 230, 300));
}

TEST_F(FileShelfControllerTest, RestoresTheStoredPanelsAtTheirStoredFramesWhenUsable) {
    QTemporaryDir folder;
    store("floatingShelves", Json::array({"tray", folder.path().toStdString(), "junk"}));
    store("shelfFrame.tray", "{{100, 120}, {240, 310}}");
    // Exactly 100 wide: too narrow, so the default frame.
    store(("shelfFrame." + folder.path()).toStdString(), "{{300, 300}, {100, 300}}");
    controller().restoreFloatingShelves();

    FilePanel* tray = controller().floatingPanel(ShelfSource::tray());
    FilePanel* pinned = controller().floatingPanel(ShelfSource::folder(folder.path()));
    ASSERT_NE(tray, nullptr);
    ASSERT_NE(pinned, nullptr);
    // Taskbars list each by what it shows
    EXPECT_EQ(tray->windowTitle(), QStringLiteral("Tray"));
    EXPECT_EQ(pinned->windowTitle(), QDir(folder.path()).dirName());
    EXPECT_EQ(tray->frame(), QRect(100, 120, 240, 310));
    EXPECT_EQ(pinned->frame().width(), 230);
    EXPECT_EQ(platform->defaults->stringArray("floatingShelves")->size(), 2u);

    // Closing keeps the frame; a later move is stored as text.
    pinned->setFrame(QRect(QPoint(400, 200), pinned->frame().size()));
    controller().closeFloating(ShelfSource::folder(folder.path()));
    EXPECT_FALSE(controller().hasFloatingPanel(ShelfSource::folder(folder.path())));
    const auto stored = platform->defaults->string(("shelfFrame." + folder.path()).toStdString());
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(rectFromText(QString::fromStdString(*stored)), QRectF(400, 200, 230, 300));
    EXPECT_EQ(rectFromText(QStringLiteral("{{1, 2}, {3}}")), std::nullopt);
    EXPECT_EQ(platform->defaults->stringArray("floatingShelves")->size(), 1u);
}

TEST_F(FileShelfControllerTest, ThePopoverSlidesInOverItsEaseOut) {
    // Beside the strip it starts 6 points towards it; under the tray 6 points higher
    const QRectF frame(100, 100, 260, 360);
    controller().present(ShelfSource::tray(), frame, 6);
    EXPECT_EQ(controller().popover()->frame(), frame.toRect().translated(6, 0));
    ASSERT_EQ(animator.pendingMoves().size(), 1u);
    EXPECT_DOUBLE_EQ(animator.pendingMoves()[0].duration.count(), 0.14);
    for (double f : {0.25, 0.5, 0.75}) {
        animator.advanceMoves(Seconds(0.14 * f));
        EXPECT_NEAR(controller().popover()->frame().x(), 106 - 6 * easeOut(f), 0.6) << f;
    }
    animator.completeAll();
    EXPECT_EQ(controller().popover()->frame(), frame.toRect());
    controller().closePopover();
    animator.completeAll();
    controller().present(ShelfSource::tray(), frame, 0);
    EXPECT_EQ(controller().popover()->frame(), frame.toRect().translated(0, -6));
}

TEST_F(FileShelfControllerTest, AStatusMenuEntryShowsItsPopoverOnceTheMenuHasClosed) {
    FileShelfController& shelf = controller();
    settings->setShowTray(true);
    shelf.syncStatusItem();
    ASSERT_TRUE(shelf.hasStatusItem());
    shelf.togglePopover(ShelfSource::tray());
    EXPECT_FALSE(shelf.isPopoverShown());
    scheduler.advance(Seconds(0.06));
    EXPECT_TRUE(shelf.isPopoverShown());
    EXPECT_EQ(shelf.popoverSource(), ShelfSource::tray());
    // A tray that does not say where its icon sits: centred under the pointer that chose the entry
    animator.completeAll();
    EXPECT_EQ(shelf.popover()->frame(), QRect(700 - 130, 30 + 6, 260, 360));
    shelf.togglePopover(ShelfSource::tray());
    scheduler.advance(Seconds(0.06));
    animator.completeAll();
    ASSERT_FALSE(shelf.isPopoverShown());

    // An icon whose place the tray tells: centred under it, or over it in a tray at the bottom,
    // clear of a tray panel that does not keep windows off its edge
    FakeTrayIcon& icon = *platform->fakeTray->icon(QStringLiteral("corvane.files"));
    for (const auto& [where, expected] :
         {std::pair{QRect(1000, 4, 22, 22), QRect(881, 36, 260, 360)},
          std::pair{QRect(300, 40, 22, 22), QRect(181, 68, 260, 360)},
          std::pair{QRect(200, 876, 22, 22), QRect(81, 876 - 6 - 360, 260, 360)}}) {
        icon.setGeometry(where);
        shelf.togglePopover(ShelfSource::tray());
        scheduler.advance(Seconds(0.06));
        animator.completeAll();
        EXPECT_EQ(shelf.popover()->frame(), expected) << where.x() << "," << where.y();
        shelf.closePopover();
        animator.completeAll();
    }
}

TEST_F(FileShelfControllerTest, PresentingTogglesThePopoverAndDefersToAFloatingPanel) {
    const QRectF frame(100, 100, 260, 360);
    controller().present(ShelfSource::tray(), frame, 6);
    ASSERT_TRUE(controller().isPopoverShown());
    animator.completeAll();
    EXPECT_EQ(controller().popover()->frame(), frame.toRect());
    controller().present(ShelfSource::tray(), frame, 6);
    animator.completeAll();
    EXPECT_FALSE(controller().isPopoverShown());

    controller().openFloating(ShelfSource::tray());
    controller().present(ShelfSource::tray(), frame, 6);
    EXPECT_FALSE(controller().isPopoverShown());
}

TEST_F(FileShelfControllerTest, TheKeyTableActsOnTheListInFront) {
    QTemporaryDir folder;
    for (const char* name : {"a.txt", "b.txt"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    buildState();
    state->files().setTray(
        {folder.filePath(QStringLiteral("a.txt")), folder.filePath(QStringLiteral("b.txt"))});
    controller().openFloating(ShelfSource::tray());
    controller().openFloating(ShelfSource::folder(folder.path()));
    FilePanel& trayPanel = *controller().floatingPanel(ShelfSource::tray());
    FilePanel& folderPanel = *controller().floatingPanel(ShelfSource::folder(folder.path()));
    ShelfListModel& tray = *trayPanel.model();

    // Return with nothing selected goes on to the search field; Ctrl+Down is taken anyway.
    EXPECT_FALSE(controller().handleKeyDown(trayPanel, Qt::Key_Return, {}));
    EXPECT_TRUE(controller().handleKeyDown(trayPanel, Qt::Key_Down, Qt::ControlModifier));
    EXPECT_TRUE(controller().handleKeyDown(trayPanel, Qt::Key_Down, {}));
    EXPECT_TRUE(controller().handleKeyDown(trayPanel, Qt::Key_Down, Qt::ShiftModifier));
    EXPECT_EQ(tray.selection().size(), 2);
    EXPECT_FALSE(controller().handleKeyDown(trayPanel, Qt::Key_A, {}));
    EXPECT_TRUE(controller().handleKeyDown(trayPanel, Qt::Key_Escape, {}));
    EXPECT_TRUE(tray.selection().isEmpty());

    // Delete takes the selection off the Tray and leaves the file; in a folder list it is not taken.
    EXPECT_TRUE(controller().handleKeyDown(trayPanel, Qt::Key_Down, {}));
    EXPECT_TRUE(controller().handleKeyDown(trayPanel, Qt::Key_Delete, {}));
    EXPECT_EQ(state->files().tray().size(), 1);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("a.txt"))));
    EXPECT_TRUE(controller().handleKeyDown(folderPanel, Qt::Key_A, Qt::ControlModifier));
    EXPECT_FALSE(controller().handleKeyDown(folderPanel, Qt::Key_Delete, {}));
    EXPECT_EQ(folderPanel.model()->selection().size(), 2);

    // Escape in the popover closes it.
    controller().present(ShelfSource::folder(folder.path() + QStringLiteral("/")), QRectF(0, 40, 260, 360),
                         0);
    ASSERT_TRUE(controller().isPopoverShown());
    EXPECT_TRUE(controller().handleKeyDown(*controller().popover(), Qt::Key_Escape, {}));
    animator.completeAll();
    EXPECT_FALSE(controller().isPopoverShown());
}

TEST_F(FileShelfControllerTest, FilesNoProgramOpensOrShowsAreToldOncePerActionWithTheReason) {
    QTemporaryDir folder;
    for (const char* name : {"a.txt", "b.txt"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    buildState();
    FakeSystemShell& shell = *platform->fakeShell;
    shell.urlOpens = false;
    const QString reason = shell.openFailure;
    controller().openFloating(ShelfSource::folder(folder.path()));
    FilePanel& panel = *controller().floatingPanel(ShelfSource::folder(folder.path()));
    ShelfListModel& model = *panel.model();

    // Return on two files tries both and tells once, in a toast
    EXPECT_TRUE(controller().handleKeyDown(panel, Qt::Key_A, Qt::ControlModifier));
    EXPECT_TRUE(controller().handleKeyDown(panel, Qt::Key_Return, {}));
    EXPECT_EQ(shell.openedUrls.size(), 2u);
    EXPECT_EQ(state->toast().lastMessage(), QStringLiteral("Could not open 2 files: ") + reason);

    // A double-click on a row, and the header's Open in File Manager, tell too
    const auto* list = panel.findChild<FileListView*>();
    ASSERT_NE(list, nullptr);
    ASSERT_FALSE(list->rows().isEmpty());
    FileRowView* row = list->rows().first();
    QTest::mouseDClick(row, Qt::LeftButton);
    EXPECT_EQ(state->toast().lastMessage(), QStringLiteral("Could not open \u201c") + row->file().name +
                                                QStringLiteral("\u201d: ") + reason);
    ASSERT_NE(list->header()->openButton(), nullptr);
    list->header()->openButton()->click();
    EXPECT_EQ(state->toast().lastMessage(), QStringLiteral("Could not open \u201c") +
                                                QDir(folder.path()).dirName() +
                                                QStringLiteral("\u201d in the file manager: ") + reason);

    // The menu's Open and Show in File Manager tell once each; one file is named
    std::vector<QString> told;
    FileListActions actions;
    actions.reportFailure = [&told](const QString& message) { told.push_back(message); };
    const auto trigger = [&](const QList<ShelfFile>& files, const QString& title) {
        const auto menu = makeFileContextMenu(files, model.source(), state->files(), shell, actions);
        for (QAction* action : menu->actions())
            if (action->text() == title)
                return action->trigger();
        ADD_FAILURE() << "no menu item " << title.toStdString();
    };
    const QList<ShelfFile> both = model.selectedFiles();
    trigger(both, QStringLiteral("Open 2 Files"));
    trigger(both, QStringLiteral("Show in File Manager"));
    trigger({both.first()}, QStringLiteral("Open"));
    EXPECT_EQ(told, (std::vector<QString>{
                        QStringLiteral("Could not open 2 files: ") + reason,
                        QStringLiteral("Could not show 2 files in the file manager: ") + reason,
                        QStringLiteral("Could not open \u201c") + both.first().name +
                            QStringLiteral("\u201d: ") + reason,
                    }));

    // Nothing is told when the desktop opens them
    shell.urlOpens = true;
    trigger(both, QStringLiteral("Open 2 Files"));
    trigger(both, QStringLiteral("Show in File Manager"));
    EXPECT_EQ(told.size(), 3u);
}

TEST_F(FileShelfControllerTest, ThePreviewStepsThroughSeveralSelectedFilesAndLeavesTheSelection) {
    QTemporaryDir folder;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name);
    }
    {
        QPdfWriter pdf(folder.filePath(QStringLiteral("d.pdf")));
        QPainter(&pdf).drawText(100, 100, QStringLiteral("page one"));
    }
    // A pipe nobody writes to: opening it to read would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("e-pipe"))).constData(), 0600), 0);
    buildState();
    settings->setShelfSort(ShelfSort::name);
    controller().openFloating(ShelfSource::folder(folder.path()));
    FilePanel& panel = *controller().floatingPanel(ShelfSource::folder(folder.path()));
    ShelfListModel& list = *panel.model();
    ASSERT_EQ(list.files().size(), 5u);
    const auto rows = [&](std::initializer_list<int> indices) {
        QSet<QString> out;
        for (int i : indices)
            out.insert(list.files()[static_cast<std::size_t>(i)].id());
        return out;
    };
    list.setSelection(rows({0, 1, 2}));

    PreviewPanel& preview = controller().preview();
    ASSERT_TRUE(controller().handleKeyDown(panel, Qt::Key_Space, {}));
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.content().name, QStringLiteral("a.txt"));
    EXPECT_EQ(preview.content().text, QStringLiteral("a.txt"));
    EXPECT_EQ(preview.titleText(), QStringLiteral("a.txt  (1 of 3)"));
    controller().handleKeyDown(panel, Qt::Key_Down, {});
    EXPECT_EQ(preview.titleText(), QStringLiteral("b.txt  (2 of 3)"));
    controller().handleKeyDown(panel, Qt::Key_Down, {});
    controller().handleKeyDown(panel, Qt::Key_Down, {});
    EXPECT_EQ(preview.content().name, QStringLiteral("c.txt")) << "stays at the last";
    controller().handleKeyDown(panel, Qt::Key_Up, {});
    EXPECT_EQ(preview.content().name, QStringLiteral("b.txt"));
    EXPECT_EQ(list.selection(), rows({0, 1, 2}));

    // One file selected: the arrows move the selection and the preview follows, onto the pipe,
    // which is described and never opened.
    list.setSelection(rows({3}));
    preview.reloadData();
    EXPECT_EQ(preview.content().kind, PreviewContent::Kind::pdf);
    EXPECT_FALSE(preview.content().image.isNull());
    controller().handleKeyDown(panel, Qt::Key_Down, {});
    EXPECT_EQ(list.selection(), rows({4}));
    EXPECT_EQ(preview.content().name, QStringLiteral("e-pipe"));
    EXPECT_EQ(preview.content().kind, PreviewContent::Kind::summary);
    EXPECT_EQ(preview.content().fileKind, FileKind::fifo);
    EXPECT_FALSE(preview.content().kindDescription.isEmpty());
    EXPECT_TRUE(preview.content().modified.isValid());
}

// Once open, the preview follows the selection: empty (the panel's bare material) while nothing
// is selected, and on to the next file selected.
TEST_F(FileShelfControllerTest, ThePreviewStaysOpenThroughAnEmptySelection) {
    QTemporaryDir folder;
    FilePanel& panel = openFolderOf(folder, {"a.txt", "b.txt"});
    ShelfListModel& list = *panel.model();
    ASSERT_EQ(list.files().size(), 2u);
    list.click(list.files()[0], {});
    PreviewPanel& preview = controller().preview();
    ASSERT_TRUE(controller().handleKeyDown(panel, Qt::Key_Space, {}));
    ASSERT_EQ(preview.content().text, QStringLiteral("a.txt"));

    list.click(list.files()[0], Qt::ControlModifier);
    ASSERT_TRUE(list.selection().isEmpty());
    EXPECT_TRUE(preview.isVisible());
    EXPECT_TRUE(preview.items().isEmpty());
    EXPECT_TRUE(preview.titleText().isEmpty());
    const QImage drawn = preview.grab().toImage();
    const QPoint middle = QPoint(PreviewPanel::width / 2, PreviewPanel::height / 2) +
                          QPoint(preview.shadowMargins().left(), preview.shadowMargins().top());
    const QPoint inMargin(preview.shadowMargins().left() + 6, middle.y());
    EXPECT_EQ(drawn.pixelColor(middle), drawn.pixelColor(inMargin)) << "the last file is still drawn";

    list.click(list.files()[1], {});
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.content().text, QStringLiteral("b.txt"));
    EXPECT_EQ(preview.titleText(), QStringLiteral("b.txt"));
}

// Whether the arrows step the preview or move the list is decided by the selection, not by how
// many of the selected files are still there to be shown.
TEST_F(FileShelfControllerTest, TheArrowsLeaveASelectionOfSeveralWhenSomeAreGone) {
    QTemporaryDir folder;
    const QString present = folder.filePath(QStringLiteral("a.txt"));
    QFile file(present);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    buildState();
    state->files().setTray({present, folder.filePath(QStringLiteral("gone.txt"))});
    controller().openFloating(ShelfSource::tray());
    FilePanel& panel = *controller().floatingPanel(ShelfSource::tray());
    ShelfListModel& tray = *panel.model();
    ASSERT_EQ(tray.files().size(), 2u);
    ASSERT_TRUE(controller().handleKeyDown(panel, Qt::Key_A, Qt::ControlModifier));
    ASSERT_TRUE(controller().handleKeyDown(panel, Qt::Key_Space, {}));
    PreviewPanel& preview = controller().preview();
    ASSERT_TRUE(preview.isVisible());
    ASSERT_EQ(preview.items().size(), 1);

    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down}) {
        EXPECT_TRUE(controller().handleKeyDown(panel, key, {}));
        EXPECT_EQ(tray.selection().size(), 2);
    }
    EXPECT_EQ(preview.content().name, QStringLiteral("a.txt"));
}

// A selected file deleted behind the list's back leaves the preview with it, at the listing that
// drops it, not at the user's next click.
TEST_F(FileShelfControllerTest, ThePreviewLetsGoOfASelectedFileThatIsDeleted) {
    QTemporaryDir folder;
    FilePanel& panel = openFolderOf(folder, {"a.txt", "b.txt"});
    ShelfListModel& list = *panel.model();
    ASSERT_EQ(list.files().size(), 2u);
    list.click(list.files()[1], {});
    PreviewPanel& preview = controller().preview();
    ASSERT_TRUE(controller().handleKeyDown(panel, Qt::Key_Space, {}));
    ASSERT_EQ(preview.content().text, QStringLiteral("b.txt"));

    ASSERT_TRUE(QFile::remove(folder.filePath(QStringLiteral("b.txt"))));
    list.reload();
    ASSERT_EQ(list.files().size(), 1u);
    EXPECT_TRUE(preview.isVisible());
    EXPECT_TRUE(preview.items().isEmpty());
    EXPECT_TRUE(preview.titleText().isEmpty());
}

TEST_F(FileShelfControllerTest, OpenListsTakeANewAccentAtOnce) {
    buildState();
    settings->setSidebarAccent(AccentChoice::lumenForge);
    controller().openFloating(ShelfSource::tray());
    auto* list = controller().floatingPanel(ShelfSource::tray())->findChild<FileListView*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->accent(), brandColor());
    settings->setSidebarAccent(AccentChoice::system);
    EXPECT_EQ(list->accent(), QApplication::palette().color(QPalette::Highlight));
    EXPECT_EQ(list->header()->accent(), list->accent());
}

// The list lies on the panel's own material: under its rows and beside them nothing is drawn.
TEST_F(FileShelfControllerTest, TheListDrawsNoFillOfItsOwn) {
    QTemporaryDir folder;
    for (const char* name : {"a.txt", "b.txt"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    buildState();
    controller().openFloating(ShelfSource::folder(folder.path()));
    auto* list = controller().floatingPanel(ShelfSource::folder(folder.path()))->findChild<FileListView*>();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->rows().size(), 2);

    QImage over(list->size(), QImage::Format_ARGB32_Premultiplied);
    over.fill(Qt::transparent);
    list->render(&over, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect lastRow = list->rows().last()->geometry();
    const QWidget* rowsHost = list->rows().last()->parentWidget();
    for (const QPoint at :
         {QPoint(lastRow.center().x(), lastRow.bottom() + 30), QPoint(3, lastRow.center().y())})
        EXPECT_EQ(qAlpha(over.pixel(rowsHost->mapTo(list, at))), 0) << at.x() << "," << at.y();
}

} // namespace

namespace {

// The strip's shelf rows open the popover beside the strip, a little above the pointer.
TEST_F(FileShelfControllerTest, TheStripOpensThePopoverBesideIt) {
    buildState();
    state->sidebar().start();
    ASSERT_NE(state->sidebar().panel(), nullptr);
    animator.completeAll();
    state->showShelfPanel(ShelfSource::tray());
    ASSERT_TRUE(controller().isPopoverShown());
    animator.completeAll();
    const QRect strip = state->sidebar().panel()->frame();
    const QRect popover = controller().popover()->frame();
    EXPECT_EQ(popover.size(), QSize(260, 360));
    EXPECT_TRUE(popover.left() == strip.right() + 1 + 8 || popover.right() + 1 == strip.left() - 8)
        << popover.left() << " " << strip.right();
    EXPECT_EQ(popover.top(), 400 - 40);
}

} // namespace

TEST_F(FileShelfControllerTest, TheStatusItemIsNamedAndItsMenuEntriesCarryTheirSymbols) {
    controller();
    state->settings().setShowFilesIcon(true);
    state->settings().setShowTray(true);
    state->settings().setShowFiles(true);
    controller().syncStatusItem();
    FakeTrayIcon* icon = platform->fakeTray->icon(QStringLiteral("corvane.files"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->accessibleName(), "Files & Tray");
    ASSERT_NE(icon->menu(), nullptr);
    Q_EMIT icon->menu()->aboutToShow();
    const QList<QAction*> entries = icon->menu()->actions();
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(entries[0]->text(), "Tray");
    EXPECT_FALSE(entries[0]->icon().isNull());
    EXPECT_TRUE(entries.back()->icon().isNull()); // "Files Settings…"
}

// A long folder name is cut with an ellipsis to the room the header really leaves it, and shows
// whole once the panel is wide enough.
TEST_F(FileShelfControllerTest, ALongFolderTitleIsCutToItsRoomWithAnEllipsis) {
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("A very long folder name that goes on"));
    ASSERT_TRUE(QDir().mkpath(folder));
    buildState();
    controller().openFloating(ShelfSource::folder(folder));
    FilePanel& panel = *controller().floatingPanel(ShelfSource::folder(folder));
    ASSERT_EQ(panel.frame().width(), 230);
    FileListHeader& header = *panel.findChild<FileListView*>()->header();
    const auto laidOut = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    };
    laidOut();
    const QString shown = header.shownTitle();
    const QWidget& title = *header.findChild<QWidget*>(QStringLiteral("title"));
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(title.fontMetrics().horizontalAdvance(shown), title.width()) << shown.toStdString();
    EXPECT_GT(title.width(), 40);
    EXPECT_TRUE(QStringLiteral("A very long folder name that goes on").startsWith(shown.chopped(1)));

    panel.setFrame(QRect(panel.frame().topLeft(), QSize(520, 300)));
    laidOut();
    EXPECT_EQ(header.shownTitle(), QStringLiteral("A very long folder name that goes on"));
}

namespace {

int helperNotices = 0;
void countHelperNotices(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("corvane-preview")))
        ++helperNotices;
}

} // namespace

// Without the helper that draws PDF pages a PDF shows its facts, and the user is told why once,
// in a toast and in the log, however many PDFs are previewed after.
TEST_F(FileShelfControllerTest, AMissingPdfHelperIsToldOnceInAToastAndTheLog) {
    QTemporaryDir folder;
    for (const char* name : {"a.pdf", "b.pdf"}) {
        QPdfWriter pdf(folder.filePath(QString::fromLatin1(name)));
        QPainter(&pdf).drawText(100, 100, QStringLiteral("page"));
    }
    const QByteArray helper = qgetenv("CORVANE_PREVIEW_HELPER");
    qputenv("CORVANE_PREVIEW_HELPER", QFile::encodeName(folder.filePath(QStringLiteral("no-helper"))));
    helperNotices = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countHelperNotices);
    const auto restore = qScopeGuard([&] {
        qInstallMessageHandler(previous);
        qputenv("CORVANE_PREVIEW_HELPER", helper);
    });
    buildState();
    controller().openFloating(ShelfSource::folder(folder.path()));
    FilePanel& panel = *controller().floatingPanel(ShelfSource::folder(folder.path()));
    ShelfListModel& list = *panel.model();
    ASSERT_EQ(list.files().size(), 2u);
    list.setSelection({list.files()[0].id()});

    ASSERT_TRUE(controller().handleKeyDown(panel, Qt::Key_Space, {}));
    PreviewPanel& preview = controller().preview();
    EXPECT_EQ(preview.content().kind, PreviewContent::Kind::summary);
    EXPECT_EQ(state->toast().lastMessage(),
              QStringLiteral("PDF pages cannot be shown: corvane-preview is not installed"));
    state->toast().show(QStringLiteral("something else"), QStringLiteral("info"));
    const QString first = preview.content().name;
    controller().handleKeyDown(panel, Qt::Key_Down, {});
    EXPECT_NE(preview.content().name, first);
    controller().handleKeyDown(panel, Qt::Key_Up, {});
    EXPECT_EQ(state->toast().lastMessage(), QStringLiteral("something else"));
    EXPECT_EQ(helperNotices, 1);
}
