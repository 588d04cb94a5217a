#include "shelf/FileShelf.h"

#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "runtime/ManualScheduler.h"
#include "shelf/FakeFolderWatching.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;
using corvane::testing::FakeFolderWatching;

namespace {

class FileShelfTest : public ::testing::Test {
protected:
    FileShelfTest() {
        auto file = std::make_unique<FakeDefaultsFile>();
        defaults = std::make_unique<UserDefaults>(std::move(file), scheduler);
    }

    FileShelf& makeShelf() {
        auto made = std::make_unique<FakeFolderWatching>();
        watching = made.get();
        shelf = std::make_unique<FileShelf>(*defaults, scheduler, std::move(made));
        return *shelf;
    }

    void store(const std::string& key, Json value) { defaults->set(key, std::move(value)); }
    std::optional<Json> stored(const std::string& key) const { return defaults->object(key); }

    QString makeFolder(const QString& name) {
        const QString path = temp.filePath(name);
        QDir().mkpath(path);
        return path;
    }

    ManualScheduler scheduler;
    std::unique_ptr<UserDefaults> defaults;
    QTemporaryDir temp;
    FakeFolderWatching* watching = nullptr;
    std::unique_ptr<FileShelf> shelf;
};

Json strings(std::initializer_list<const char*> items) {
    Json array = Json::array();
    for (const char* item : items)
        array.push_back(item);
    return array;
}

QStringList qstrings(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list.push_back(QString::fromUtf8(item));
    return list;
}

} // namespace

TEST_F(FileShelfTest, MissingOrMalformedListsReadAsTheirDefaultsWithoutOverwritingWhatIsStored) {
    // Given nothing stored: the home folder's Downloads and Desktop, and an empty Tray
    FileShelf& fresh = makeShelf();
    EXPECT_EQ(fresh.folders(), QStringList({QDir::homePath() + QStringLiteral("/Downloads"),
                                            QDir::homePath() + QStringLiteral("/Desktop")}));
    EXPECT_TRUE(fresh.tray().isEmpty());
    EXPECT_FALSE(stored("shelfFolders")) << "reading the defaults writes nothing";

    // Given the user's folders named in their own language by xdg-user-dirs, one of them turned
    // off (pointing at the home folder): those names, and no home folder
    const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    ASSERT_TRUE(QDir().mkpath(config));
    QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write(
        QStringLiteral("XDG_DOWNLOAD_DIR=\"$HOME/T\u00E9l\u00E9chargements\"\nXDG_DESKTOP_DIR=\"$HOME/\"\n")
            .toUtf8());
    dirs.close();
    EXPECT_EQ(makeShelf().folders(),
              QStringList({QDir::homePath() + QStringLiteral("/T\u00E9l\u00E9chargements")}));
    dirs.remove();

    // Given values of the wrong kind (a string, and a list holding a number)
    store("shelfFolders", "/not/a/list");
    store("trayPaths", Json::array({"/a", 7}));
    FileShelf& malformed = makeShelf();
    EXPECT_EQ(malformed.folders().size(), 2);
    EXPECT_TRUE(malformed.tray().isEmpty());
    // The stored values are left as they were until the user changes the shelf.
    EXPECT_EQ(*stored("shelfFolders"), Json("/not/a/list"));
    EXPECT_EQ(*stored("trayPaths"), Json::array({"/a", 7}));

    // Given an empty stored list: it stays empty, the default folders do not come back
    store("shelfFolders", Json::array());
    EXPECT_TRUE(makeShelf().folders().isEmpty());
}

TEST_F(FileShelfTest, BothListsSurviveARestartThroughTheDefaults) {
    // Given a shelf whose lists were changed and saved
    store("shelfFolders", Json::array());
    FileShelf& first = makeShelf();
    first.setFolders(qstrings({"/data/b", "/data/a"}));
    first.addToTray(
        {QUrl::fromLocalFile(QStringLiteral("/tmp/one")), QUrl::fromLocalFile(QStringLiteral("/tmp/two"))});

    // When a new shelf reads the same defaults
    FileShelf& second = makeShelf();

    // Then it has the same lists in the same order, stored as arrays of strings
    EXPECT_EQ(second.folders(), qstrings({"/data/b", "/data/a"}));
    EXPECT_EQ(second.tray(), qstrings({"/tmp/two", "/tmp/one"}));
    EXPECT_EQ(*stored("trayPaths"), strings({"/tmp/two", "/tmp/one"}));
}

TEST_F(FileShelfTest, AddingToTheTrayPutsFilesInFrontAndMovesRepeatsInsteadOfDuplicating) {
    store("shelfFolders", Json::array());
    FileShelf& files = makeShelf();
    QSignalSpy trayChanges(&files, &FileShelf::trayChanged);
    const QUrl a = QUrl::fromLocalFile(QStringLiteral("/tmp/A"));
    const QUrl b = QUrl::fromLocalFile(QStringLiteral("/tmp/B"));

    // When A then B are added in one call, the last ends first
    files.addToTray({a, b});
    EXPECT_EQ(files.tray(), qstrings({"/tmp/B", "/tmp/A"}));

    // When A is added again, it moves to the front
    files.addToTray({a});
    EXPECT_EQ(files.tray(), qstrings({"/tmp/A", "/tmp/B"}));
    EXPECT_EQ(trayChanges.count(), 2);

    // A path with "." and ".." components is stored in its standard form
    files.addToTray({QUrl::fromLocalFile(QStringLiteral("/tmp/x/../y/./C"))});
    EXPECT_EQ(files.tray().front(), QStringLiteral("/tmp/y/C"));

    // Web URLs are skipped; a call with nothing else changes and writes nothing
    defaults->remove("trayPaths");
    files.addToTray({QUrl(QStringLiteral("https://example.org/file.txt"))});
    EXPECT_EQ(files.tray().size(), 3);
    EXPECT_FALSE(stored("trayPaths"));
    EXPECT_EQ(trayChanges.count(), 3);
}

TEST_F(FileShelfTest, PathsEqualUnderCanonicalEquivalenceAreOneEntry) {
    // Given "é" stored precomposed and added decomposed
    store("shelfFolders", Json::array());
    FileShelf& files = makeShelf();
    const QString precomposed = QStringLiteral("/tmp/caf\u00e9");
    const QString decomposed = QStringLiteral("/tmp/cafe\u0301");
    files.addToTray({QUrl::fromLocalFile(precomposed)});

    // When the same file arrives in the other form, it moves rather than repeats
    files.addToTray({QUrl::fromLocalFile(QStringLiteral("/tmp/other")), QUrl::fromLocalFile(decomposed)});
    EXPECT_EQ(files.tray().size(), 2);

    // And a case difference is a different path
    files.addToTray({QUrl::fromLocalFile(QStringLiteral("/tmp/OTHER"))});
    EXPECT_EQ(files.tray().size(), 3);
}

TEST_F(FileShelfTest, ClearingTheTrayEmptiesTheListAndTouchesNoFile) {
    store("shelfFolders", Json::array());
    FileShelf& files = makeShelf();
    const QString kept = temp.filePath(QStringLiteral("kept.txt"));
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    files.addToTray({QUrl::fromLocalFile(kept)});

    files.clearTray();

    EXPECT_TRUE(files.tray().isEmpty());
    EXPECT_EQ(*stored("trayPaths"), Json::array());
    EXPECT_TRUE(QFile::exists(kept));
}

TEST_F(FileShelfTest, MovingFoldersReordersAsADragDoesAndIgnoresOffsetsOutsideTheList) {
    store("shelfFolders", strings({"/A", "/B", "/C"}));
    FileShelf& files = makeShelf();

    files.moveFolders({0}, 2);
    EXPECT_EQ(files.folders(), qstrings({"/B", "/A", "/C"}));

    files.moveFolders({0}, 3);
    EXPECT_EQ(files.folders(), qstrings({"/A", "/C", "/B"}));

    // Several entries keep their relative order; the moved block lands before the destination's entry
    files.moveFolders({1, 2}, 0);
    EXPECT_EQ(files.folders(), qstrings({"/C", "/B", "/A"}));
    EXPECT_EQ(*stored("shelfFolders"), strings({"/C", "/B", "/A"}));

    // Offsets beyond the list and a destination past the end do not lose or invent entries
    files.moveFolders({-1, 7}, 99);
    EXPECT_EQ(files.folders(), qstrings({"/C", "/B", "/A"}));
}

TEST_F(FileShelfTest, WatchersFollowThePinnedFoldersAndCountEveryChange) {
    // Given two existing folders, one pinned twice, and one missing folder
    const QString a = makeFolder(QStringLiteral("a"));
    const QString b = makeFolder(QStringLiteral("b"));
    const QString later = temp.filePath(QStringLiteral("later"));
    store("shelfFolders",
          Json::array({a.toStdString(), b.toStdString(), a.toStdString(), later.toStdString()}));
    FileShelf& files = makeShelf();
    QSignalSpy revisions(&files, &FileShelf::revisionChanged);

    // Then each existing folder has one watcher and the missing one none
    EXPECT_EQ(files.watchedFolders(), QStringList({a, b}));
    EXPECT_EQ(watching->watched().size(), 2);

    // When the folders report changes, one counter counts them all
    watching->change(a);
    watching->change(b);
    EXPECT_EQ(files.revision(), 2);
    EXPECT_EQ(revisions.count(), 2);

    // When the missing folder appears, it is watched within the look-out's interval, and the
    // lists showing it (as missing) are told to list it
    QSignalSpy changed(&files, &FileShelf::folderChanged);
    QDir().mkpath(later);
    EXPECT_FALSE(watching->change(later));
    scheduler.advance(FileShelf::missingFolderInterval);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), later);
    EXPECT_TRUE(changed.at(0).at(1).value<FolderChanges>().whole);
    EXPECT_EQ(files.revision(), 3);
    EXPECT_TRUE(watching->change(later));
    EXPECT_EQ(files.revision(), 4);
    // and nothing is looked for while every pinned folder is watched
    EXPECT_EQ(scheduler.pendingTimers(), 0);

    // When the folder pinned twice is removed, both entries go and its watcher is cancelled
    files.removeFolder(a);
    EXPECT_EQ(files.folders(), QStringList({b, later}));
    EXPECT_FALSE(watching->watched().contains(a));
    EXPECT_FALSE(watching->change(a));
    EXPECT_EQ(files.revision(), 4);

    // A sync with nothing changed opens nothing again
    const int opened = watching->openedCount();
    files.syncWatchers();
    EXPECT_EQ(watching->openedCount(), opened);
}

TEST_F(FileShelfTest, AWatchedFolderThatGoesIsWatchedAgainOnceItIsBack) {
    const QString a = makeFolder(QStringLiteral("a"));
    store("shelfFolders", Json::array({a.toStdString()}));
    FileShelf& files = makeShelf();
    QSignalSpy changed(&files, &FileShelf::folderChanged);

    // When the folder is deleted, its watch ends and the lists hear of it
    QDir(a).removeRecursively();
    EXPECT_TRUE(watching->change(a, FolderChanges{{}, true, true}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(files.watchedFolders().isEmpty());

    // While it is away, looking finds nothing and tells no one
    scheduler.advance(FileShelf::missingFolderInterval * 2);
    EXPECT_EQ(changed.count(), 1);

    // Made again, it is watched and listed again
    QDir().mkpath(a);
    scheduler.advance(FileShelf::missingFolderInterval);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(files.watchedFolders(), QStringList({a}));
    EXPECT_TRUE(watching->change(a));
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(FileShelfTest, RemovingAFolderThatIsNotPinnedStillSaves) {
    store("shelfFolders", strings({"/A"}));
    FileShelf& files = makeShelf();
    defaults->remove("shelfFolders");
    QSignalSpy changes(&files, &FileShelf::foldersChanged);

    files.removeFolder(QStringLiteral("/elsewhere"));

    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(*stored("shelfFolders"), strings({"/A"}));
}

TEST_F(FileShelfTest, SettingAnEqualListNotifiesNoOne) {
    store("shelfFolders", strings({"/A", "/B"}));
    FileShelf& files = makeShelf();
    QSignalSpy changes(&files, &FileShelf::foldersChanged);

    files.setFolders(qstrings({"/A", "/B"}));
    EXPECT_EQ(changes.count(), 0);
    files.setFolders(qstrings({"/B", "/A"}));
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(FileShelfTest, SourcesAreTheTrayThenEachPinnedFolder) {
    store("shelfFolders", strings({"/A", "/B", "/A"}));
    FileShelf& files = makeShelf();

    const std::vector<ShelfSource> sources = files.sources();

    ASSERT_EQ(sources.size(), 4u);
    EXPECT_EQ(sources[0], ShelfSource::tray());
    EXPECT_EQ(sources[1], ShelfSource::folder(QStringLiteral("/A")));
    EXPECT_EQ(sources[3], sources[1]);
    EXPECT_EQ(sources[0].id(), QStringLiteral("tray"));
    EXPECT_EQ(sources[2].id(), QStringLiteral("/B"));

    files.setFolders({});
    EXPECT_EQ(files.sources().size(), 1u);
}

TEST_F(FileShelfTest, TheTrayListKeepsItsOrderWhateverTheSortAndListsGoneFiles) {
    // Given a Tray holding an old file, a new file and a deleted one
    store("shelfFolders", Json::array());
    FileShelf& files = makeShelf();
    const QString older = temp.filePath(QStringLiteral("b-older"));
    const QString newer = temp.filePath(QStringLiteral("a-newer"));
    for (const QString& path : {older, newer}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.flush();
        if (path == older)
            file.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime);
    }
    const QString gone = temp.filePath(QStringLiteral("gone"));
    files.setTray({newer, gone, older});

    // When it is listed by name and by date, the Tray's order stands
    for (ShelfSort sort : {ShelfSort::name, ShelfSort::newest}) {
        const std::vector<ShelfFile> listed = files.files(ShelfSource::tray(), sort);
        ASSERT_EQ(listed.size(), 3u);
        EXPECT_EQ(listed[0].id(), newer);
        EXPECT_EQ(listed[1].id(), gone);
        EXPECT_FALSE(listed[1].exists);
        EXPECT_EQ(listed[1].date, ShelfFile::distantPast());
        EXPECT_FALSE(listed[1].size);
        EXPECT_EQ(listed[2].id(), older);
    }
}
