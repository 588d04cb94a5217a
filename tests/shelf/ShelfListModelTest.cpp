#include "shelf/ShelfListModel.h"

#include "core/Settings.h"
#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeSystemShell.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "shelf/FakeFolderWatching.h"
#include "shelf/FileListView.h"
#include "shelf/FileRowView.h"
#include "shelf/FileShelf.h"
#include "shelf/ShelfListing.h"
#include "support/QtPrinting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;
using corvane::testing::FakeFolderWatching;

namespace {

// A pinned folder of eight files "f0" .. "f7" and one sub-folder "zsub", listed by name.
class ShelfListModelTest : public ::testing::Test {
protected:
    ShelfListModelTest()
        : defaults(std::make_unique<FakeDefaultsFile>(), scheduler), settings(defaults, notifications) {
        settings.setShelfSort(ShelfSort::name);
        for (int i = 0; i < 8; ++i)
            touch(temp.filePath(QStringLiteral("f%1").arg(i)));
        QDir().mkpath(temp.filePath(QStringLiteral("zsub")));
        touch(temp.filePath(QStringLiteral("zsub/inner.txt")));
        auto made = std::make_unique<FakeFolderWatching>();
        watching = made.get();
        shelf = std::make_unique<FileShelf>(defaults, scheduler, std::move(made));
        shelf->setFolders({temp.path()});
        shelf->syncWatchers();
        model = std::make_unique<ShelfListModel>(ShelfSource::folder(temp.path()), *shelf, settings, shell,
                                                 scheduler, worker);
        model->onSelectionChange = [this] { ++selectionChanges; };
    }

    static void touch(const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const ShelfFile& row(int i) const { return model->files()[static_cast<std::size_t>(i)]; }
    QSet<QString> rows(std::initializer_list<int> indices) const {
        QSet<QString> out;
        for (int i : indices)
            out.insert(row(i).id());
        return out;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults;
    Settings settings;
    FakeSystemShell shell;
    ManualExecutor worker;
    QTemporaryDir temp;
    FakeFolderWatching* watching = nullptr;
    std::unique_ptr<FileShelf> shelf;
    std::unique_ptr<ShelfListModel> model;
    int selectionChanges = 0;
};

TEST_F(ShelfListModelTest, ClicksSelectToggleAndRangeFromTheAnchor) {
    ASSERT_EQ(model->files().size(), 9u);
    // Shift without an anchor is a plain click that sets the anchor.
    model->click(row(2), Qt::ShiftModifier);
    EXPECT_EQ(model->selection(), rows({2}));
    model->click(row(5), Qt::ShiftModifier);
    EXPECT_EQ(model->selection(), rows({2, 3, 4, 5}));
    // The anchor stayed at 2: a second Shift click re-ranges from it.
    model->click(row(0), Qt::ShiftModifier);
    EXPECT_EQ(model->selection(), rows({0, 1, 2}));
    model->click(row(7), Qt::ControlModifier);
    EXPECT_EQ(model->selection(), rows({0, 1, 2, 7}));
    model->click(row(7), Qt::ControlModifier);
    EXPECT_EQ(model->selection(), rows({0, 1, 2}));
    model->click(row(4), Qt::NoModifier);
    EXPECT_EQ(model->selection(), rows({4}));
    EXPECT_EQ(selectionChanges, 6);

    // ensureSelected keeps a selection holding the row, else picks the row alone.
    model->click(row(1), Qt::ControlModifier);
    model->ensureSelected(row(4));
    EXPECT_EQ(model->selection(), rows({1, 4}));
    model->ensureSelected(row(6));
    EXPECT_EQ(model->selection(), rows({6}));
}

TEST_F(ShelfListModelTest, KeyboardMovesStayInTheListAndExtendFromTheAnchorBothWays) {
    model->moveSelection(1, false);
    EXPECT_EQ(model->selection(), rows({0}));
    model->moveSelection(-1, false);
    EXPECT_EQ(model->selection(), rows({0}));
    model->setSelection({});
    model->moveSelection(-1, false);
    EXPECT_EQ(model->selection(), rows({8}));
    model->moveSelection(1, false);
    EXPECT_EQ(model->selection(), rows({8}));

    // From several selected rows, the move starts at the highest.
    model->click(row(2), Qt::NoModifier);
    model->click(row(7), Qt::ControlModifier);
    model->moveSelection(1, false);
    EXPECT_EQ(model->selection(), rows({8}));
    model->click(row(2), Qt::NoModifier);
    model->click(row(7), Qt::ControlModifier);
    model->moveSelection(-1, false);
    EXPECT_EQ(model->selection(), rows({6}));

    // Shift moves from the highest selected row: upwards it reaches one row above the anchor
    // and stays; downwards it grows one row per press.
    model->click(row(5), Qt::NoModifier);
    model->moveSelection(-1, true);
    model->moveSelection(-1, true);
    EXPECT_EQ(model->selection(), rows({4, 5}));
    model->moveSelection(1, true);
    model->moveSelection(1, true);
    EXPECT_EQ(model->selection(), rows({5, 6, 7}));

    model->selectAll();
    EXPECT_EQ(model->selection().size(), 9);
}

TEST_F(ShelfListModelTest, FilteringPrunesTheSelectionQuietlyAndKeepsTheAnchorInTheList) {
    model->click(row(1), Qt::NoModifier);
    model->click(row(8), Qt::ControlModifier); // "zsub", anchor 8
    const int changes = selectionChanges;
    model->setQuery(QStringLiteral(" \u00A0F\t"));
    ASSERT_EQ(model->files().size(), 8u); // case-insensitive; the blanks are trimmed
    EXPECT_EQ(model->selection(), rows({1}));
    EXPECT_EQ(selectionChanges, changes);
    // The anchor lay past the shorter list: a Shift range stays within it.
    model->setQuery(QStringLiteral("f1"));
    ASSERT_EQ(model->files().size(), 1u);
    model->click(row(0), Qt::ShiftModifier);
    EXPECT_EQ(model->selection(), rows({0}));
    model->moveSelection(1, true);
    EXPECT_EQ(model->selection(), rows({0}));
    model->setQuery(QStringLiteral("   "));
    EXPECT_EQ(model->files().size(), 9u);
    model->setQuery(QStringLiteral("F\n"));
    EXPECT_TRUE(model->files().empty()); // a line break is searched for, not trimmed
    model->setQuery(QStringLiteral("nothing"));
    model->moveSelection(1, false);
    EXPECT_TRUE(model->files().empty());
}

TEST_F(ShelfListModelTest, EnteringAFolderWatchesItUntilLeftAndGoneFilesDoNotOpen) {
    EXPECT_EQ(model->title(), QDir(temp.path()).dirName());
    model->setQuery(QStringLiteral("z"));
    model->click(row(0), Qt::NoModifier);
    model->open(row(0));
    EXPECT_EQ(model->title(), QStringLiteral("zsub"));
    EXPECT_TRUE(model->query().isEmpty());
    EXPECT_TRUE(model->selection().isEmpty());
    ASSERT_EQ(model->files().size(), 1u);
    EXPECT_EQ(watching->watched().count(temp.filePath(QStringLiteral("zsub"))), 1);

    // A file created in the entered folder shows once its watch reports.
    touch(temp.filePath(QStringLiteral("zsub/new.txt")));
    watching->change(temp.filePath(QStringLiteral("zsub")));
    scheduler.advance(ShelfListModel::relistGap);
    EXPECT_EQ(model->files().size(), 2u);
    // So does one that comes with a change of the Tray, which every list follows.
    touch(temp.filePath(QStringLiteral("zsub/added.txt")));
    shelf->addToTray({QUrl::fromLocalFile(temp.filePath(QStringLiteral("zsub/added.txt")))});
    scheduler.advance(ShelfListModel::relistGap);
    EXPECT_EQ(model->files().size(), 3u);

    model->open(row(0));
    ASSERT_EQ(shell.openedUrls.size(), 1u);
    ShelfFile gone = row(0);
    gone.exists = false;
    model->open(gone);
    EXPECT_EQ(shell.openedUrls.size(), 1u);

    model->goBack();
    EXPECT_EQ(model->files().size(), 9u);
    EXPECT_EQ(watching->watched().count(temp.filePath(QStringLiteral("zsub"))), 0);
    model->open(row(8));
    model.reset();
    EXPECT_EQ(watching->watched().count(temp.filePath(QStringLiteral("zsub"))), 0);
}

TEST_F(ShelfListModelTest, BurstsOfChangesRelistRarelyAndOnlyWhileShown) {
    const int start = model->listingCount();
    // A burst is listed once, a gap after the last listing began.
    for (int i = 0; i < 5; ++i)
        watching->change(temp.path());
    scheduler.advance(ShelfListModel::relistGap * 0.9);
    EXPECT_EQ(model->listingCount(), start);
    scheduler.advance(ShelfListModel::relistGap * 0.1);
    EXPECT_EQ(model->listingCount(), start + 1);

    // A listing that took 0.1 s keeps the next 1.5 s after its start.
    worker.setMode(ManualExecutor::Mode::stepped);
    scheduler.advance(Seconds(1));
    watching->change(temp.path());
    scheduler.runDue();
    ASSERT_EQ(model->listingCount(), start + 2);
    scheduler.advance(Seconds(0.1));
    worker.drain();
    touch(temp.filePath(QStringLiteral("late")));
    watching->change(temp.path());
    scheduler.advance(Seconds(1.3));
    EXPECT_EQ(model->listingCount(), start + 2);
    scheduler.advance(Seconds(0.1));
    worker.drain();
    EXPECT_EQ(model->listingCount(), start + 3);
    EXPECT_EQ(model->files().size(), 10u);

    // One that took a second (a loaded machine) keeps the next no longer than the longest gap
    // after its start, not fifteen seconds: a change shows within a couple of seconds.
    scheduler.advance(Seconds(2));
    watching->change(temp.path());
    scheduler.runDue();
    ASSERT_EQ(model->listingCount(), start + 4);
    scheduler.advance(Seconds(1));
    worker.drain();
    watching->change(temp.path());
    scheduler.advance(ShelfListModel::relistGapLongest - Seconds(1.05));
    EXPECT_EQ(model->listingCount(), start + 4);
    scheduler.advance(Seconds(0.1));
    worker.drain();
    EXPECT_EQ(model->listingCount(), start + 5);

    // Hidden, a list only notes that it is out of date, and relists once shown.
    model->setShown(false);
    watching->change(temp.path());
    scheduler.advance(Seconds(5));
    EXPECT_EQ(model->listingCount(), start + 5);
    model->setShown(true);
    scheduler.runDue();
    worker.drain();
    EXPECT_EQ(model->listingCount(), start + 6);
}

TEST_F(ShelfListModelTest, NamedChangesUpdateTheRowsInPlaceAndOnlyUnknownOnesListAgain) {
    FileListView view(*model, *shelf, shell, true, FileListActions{}, Qt::red);
    const auto rowsByPath = [&] {
        std::map<QString, FileRowView*> rows;
        for (FileRowView* row : view.rows())
            rows[row->file().id()] = row;
        return rows;
    };
    const auto before = rowsByPath();
    model->setSelection({row(3).id()});
    model->setHoveredID(row(5).id());
    const int listings = model->listingCount();

    touch(temp.filePath(QStringLiteral("f10")));
    QFile::remove(temp.filePath(QStringLiteral("f1")));
    watching->change(temp.path(), FolderChanges{{"f10", "f1"}, false});
    scheduler.advance(ShelfListModel::relistGap);
    EXPECT_EQ(model->listingCount(), listings);
    EXPECT_EQ(model->updateCount(), 1);
    EXPECT_EQ(model->files(), listFolder(temp.path(), ShelfSort::name));
    // The rows that stayed are the same widgets, in the list's order, still selected and hovered.
    ASSERT_EQ(view.rows().size(), static_cast<qsizetype>(model->files().size()));
    for (int i = 0; i < view.rows().size(); ++i) {
        const QString id = row(i).id();
        EXPECT_EQ(view.rows()[i]->file().id(), id);
        if (!id.endsWith(QStringLiteral("/f10"))) {
            EXPECT_EQ(view.rows()[i], before.at(id)) << id.toStdString();
        }
    }
    EXPECT_TRUE(rowsByPath().at(temp.filePath(QStringLiteral("f3")))->isSelected());
    EXPECT_TRUE(rowsByPath().at(temp.filePath(QStringLiteral("f5")))->isHovered());

    // Lost events or a lost watch: only a whole listing tells what the folder holds.
    watching->change(temp.path(), FolderChanges{{}, true});
    scheduler.advance(ShelfListModel::relistGap);
    EXPECT_EQ(model->listingCount(), listings + 1);
    EXPECT_EQ(view.rows()[0], before.at(temp.filePath(QStringLiteral("f0"))));

    // A hidden list keeps no more than a bounded number of names: past it, it lists whole once shown.
    model->setShown(false);
    FolderChanges many;
    for (std::size_t i = 0; i <= ShelfListModel::pendingLimit; ++i)
        many.names.push_back("gone-" + QByteArray::number(qulonglong(i)));
    watching->change(temp.path(), many);
    model->setShown(true);
    scheduler.advance(ShelfListModel::relistGap);
    EXPECT_EQ(model->listingCount(), listings + 2);
}

} // namespace

TEST(ShelfListModelMissingTest, AFolderThatIsGoneIsMissingWhereAnEmptyOneIsOnlyEmpty) {
    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults(std::make_unique<FakeDefaultsFile>(), scheduler);
    Settings settings(defaults, notifications);
    FakeSystemShell shell;
    ManualExecutor worker;
    FileShelf shelf(defaults, scheduler, std::make_unique<FakeFolderWatching>());
    QTemporaryDir temp;
    ShelfListModel gone(ShelfSource::folder(temp.filePath(QStringLiteral("gone"))), shelf, settings, shell,
                        scheduler, worker);
    ShelfListModel empty(ShelfSource::folder(temp.path()), shelf, settings, shell, scheduler, worker);
    ASSERT_TRUE(gone.isListed() && empty.isListed());
    EXPECT_TRUE(gone.isFolderMissing());
    EXPECT_FALSE(empty.isFolderMissing());
}
