#include "workspaces/WorkspaceManager.h"
#include "runtime/ManualScheduler.h"
#include "support/OddFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// The real store, counting the writes that reach it.
class CountingStore : public WorkspaceStore {
public:
    using WorkspaceStore::WorkspaceStore;
    std::optional<WorkspaceStoreError> save(const std::vector<Workspace>& workspaces) override {
        saved.push_back(workspaces);
        return WorkspaceStore::save(workspaces);
    }
    std::vector<std::vector<Workspace>> saved;
};

Workspace named(const QString& name, std::optional<int> slot = std::nullopt) {
    Workspace workspace;
    workspace.id = QUuid::createUuid();
    workspace.name = name;
    workspace.colorHex = QStringLiteral("#123456");
    workspace.hotkeyIndex = slot;
    return workspace;
}

class WorkspaceManagerTest : public ::testing::Test {
protected:
    QString path() const { return dir.path() + QStringLiteral("/workspaces.json"); }
    void writeFile(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    WorkspaceManager& make() {
        auto owned = std::make_unique<CountingStore>(path());
        store = owned.get();
        manager = std::make_unique<WorkspaceManager>(std::move(owned), scheduler);
        return *manager;
    }
    std::vector<QString> names() const {
        std::vector<QString> result;
        for (const auto& w : manager->workspaces())
            result.push_back(w.name);
        return result;
    }

    QTemporaryDir dir;
    ManualScheduler scheduler;
    CountingStore* store = nullptr;
    std::unique_ptr<WorkspaceManager> manager;
};

} // namespace

TEST_F(WorkspaceManagerTest, ABurstOfChangesIsSavedOnceAQuarterSecondAfterTheLast) {
    WorkspaceManager& m = make();
    m.add(named(QStringLiteral("A")));
    scheduler.advance(Seconds(0.1));
    m.add(named(QStringLiteral("B")));

    scheduler.advance(Seconds(0.2)); // 0.3 s after the first change, 0.2 s after the second
    EXPECT_TRUE(store->saved.empty());
    scheduler.advance(Seconds(0.05));

    ASSERT_EQ(store->saved.size(), 1u);
    EXPECT_EQ(store->saved[0].size(), 2u);
    // Reloading gives the same list.
    const auto saved = m.workspaces();
    EXPECT_EQ(make().workspaces(), saved);
}

TEST_F(WorkspaceManagerTest, QuitWritesPendingChangesAtOnceAndNothingWhenUnchanged) {
    WorkspaceManager& m = make();
    m.flushOnTerminate();
    EXPECT_TRUE(store->saved.empty());
    EXPECT_FALSE(QFile::exists(path()));

    m.add(named(QStringLiteral("A")));
    scheduler.advance(Seconds(0.1));
    m.flushOnTerminate();
    ASSERT_EQ(store->saved.size(), 1u);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->saved.size(), 1u); // the cancelled delayed save writes nothing
}

TEST_F(WorkspaceManagerTest, AFailedSaveIsToldOnceKeptAndRetriedOnATimerUntilItLands) {
    // Given the folder's place taken by a file, so that nothing can be written
    const QString blocker = dir.path() + QStringLiteral("/data");
    QFile(blocker).open(QIODevice::WriteOnly);
    auto owned = std::make_unique<CountingStore>(blocker + QStringLiteral("/workspaces.json"));
    store = owned.get();
    WorkspaceManager m(std::move(owned), scheduler);
    QSignalSpy told(&m, &WorkspaceManager::saveFailed);

    // When two changes are saved, and an action saves at once
    m.add(named(QStringLiteral("A")));
    scheduler.advance(Seconds(0.25));
    m.add(named(QStringLiteral("B")));
    scheduler.advance(Seconds(0.25));
    ASSERT_TRUE(m.saveAtOnce());

    // Then every write failed, the user was told once with the reason, and the list is kept
    EXPECT_EQ(store->saved.size(), 3u);
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(QStringLiteral("not a folder")));
    EXPECT_EQ(m.workspaces().size(), 2u);
    EXPECT_TRUE(m.hasUnsavedChanges());

    // When the disk takes writes again, without another change: the retry lands them
    QFile::remove(blocker);
    scheduler.advance(WorkspaceManager::retryInterval);
    EXPECT_FALSE(m.hasUnsavedChanges());
    EXPECT_EQ(WorkspaceStore(blocker + QStringLiteral("/workspaces.json")).load().workspaces, m.workspaces());
    EXPECT_EQ(told.count(), 1);

    // A failure after a save landed is told again
    QFile::remove(blocker + QStringLiteral("/workspaces.json"));
    QDir(dir.path()).rmdir(QStringLiteral("data"));
    QFile(blocker).open(QIODevice::WriteOnly);
    m.add(named(QStringLiteral("C")));
    scheduler.advance(Seconds(0.25));
    EXPECT_EQ(told.count(), 2);
}

TEST_F(WorkspaceManagerTest, AFileThatFailedToLoadIsNeverWrittenOver) {
    const QByteArray newer = "{\"version\": 2, \"workspaces\": []}";
    writeFile(newer);
    WorkspaceManager& m = make();
    ASSERT_TRUE(m.loadError());
    EXPECT_TRUE(m.savesRefused());
    EXPECT_TRUE(m.workspaces().empty());

    // Neither a change nor the quit replaces the newer program's file.
    m.add(named(QStringLiteral("A")));
    scheduler.advance(Seconds(1));
    m.flushOnTerminate();
    EXPECT_TRUE(store->saved.empty());
    EXPECT_EQ(readFile(), newer);

    // Nor does a file that is no file of ours, which the start reads without waiting or filling
    // memory
    using namespace corvane::testing;
    for (const OddFile kind : oddFiles) {
        SCOPED_TRACE(nameOf(kind));
        const QString folder = dir.path() + QStringLiteral("/") + QString::fromLatin1(nameOf(kind));
        const QString odd = folder + QStringLiteral("/workspaces.json");
        makeOddFile(odd, kind);
        const QString before = oddFileState(odd);
        const PeakMemoryGrowth memory;
        WorkspaceManager refused(std::make_unique<WorkspaceStore>(odd), scheduler);
        EXPECT_LT(memory.bytes(), qint64(200) << 20);
        EXPECT_TRUE(refused.savesRefused());
        ASSERT_TRUE(refused.loadError());
        refused.add(named(QStringLiteral("A")));
        scheduler.advance(Seconds(1));
        refused.flushOnTerminate();
        EXPECT_EQ(oddFileState(odd), before);
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("workspaces.json")});
    }
}

TEST_F(WorkspaceManagerTest, UpdateTakesTheSlotFromOthersAndKeepsNamesUnlessBlank) {
    WorkspaceManager& m = make();
    Workspace a = named(QStringLiteral("A"), 3), b = named(QStringLiteral("B"));
    m.add(a);
    m.add(b);

    b.hotkeyIndex = 3;
    b.name = QStringLiteral(" \t ");
    m.update(b);
    EXPECT_FALSE(m.workspace(a.id)->hotkeyIndex);
    EXPECT_EQ(m.workspaceForHotkey(3)->id, b.id);
    EXPECT_EQ(m.workspace(b.id)->name, QStringLiteral("Workspace"));

    b.name = QStringLiteral(" Deep");
    m.update(b);
    EXPECT_EQ(m.workspace(b.id)->name, QStringLiteral(" Deep"));

    // An unknown id changes nothing and saves nothing.
    scheduler.advance(Seconds(1));
    const auto writes = store->saved.size();
    m.update(named(QStringLiteral("Ghost")));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->saved.size(), writes);
    EXPECT_EQ(m.workspaces().size(), 2u);
}

TEST_F(WorkspaceManagerTest, FreeSlotsRemoveAndMove) {
    WorkspaceManager& m = make();
    EXPECT_EQ(m.nextFreeHotkeyIndex(), 1);
    m.add(named(QStringLiteral("twelve"), 12));
    EXPECT_EQ(m.nextFreeHotkeyIndex(), 1);
    for (int slot : {1, 2, 4})
        m.add(named(QString::number(slot), slot));
    EXPECT_EQ(m.nextFreeHotkeyIndex(), 3);
    for (int slot : {3, 5, 6, 7, 8})
        m.add(named(QString::number(slot), slot));
    // The last slot is offered too
    EXPECT_EQ(m.nextFreeHotkeyIndex(), 9);
    m.add(named(QStringLiteral("9"), 9));
    EXPECT_FALSE(m.nextFreeHotkeyIndex());

    m.setWorkspaces({named("A"), named("B"), named("C"), named("D")});
    // Drag B and D before A; then A to the end.
    m.move({1, 3}, 0);
    EXPECT_EQ(names(), (std::vector<QString>{"B", "D", "A", "C"}));
    m.move({2}, 4);
    EXPECT_EQ(names(), (std::vector<QString>{"B", "D", "C", "A"}));
    m.move({0}, 2);
    EXPECT_EQ(names(), (std::vector<QString>{"D", "B", "C", "A"}));

    m.remove(m.workspaces()[1].id);
    EXPECT_EQ(names(), (std::vector<QString>{"D", "C", "A"}));
}

TEST_F(WorkspaceManagerTest, ADamagedFileSetAsideIsNamedToTheUserAndSavesGoOn) {
    writeFile("{not json");
    WorkspaceManager& m = make();
    EXPECT_FALSE(m.savesRefused());
    ASSERT_TRUE(m.setAsideNotice());
    EXPECT_TRUE(
        m.setAsideNotice()->startsWith(QStringLiteral("The workspaces file was damaged and is kept as "
                                                      "workspaces.corrupt-")));
}
