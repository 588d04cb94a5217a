#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/linux/JsonDefaultsFile.h"
#include "runtime/ManualScheduler.h"

#include "support/OddFiles.h"
#include "support/QtPrinting.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace corvane;
using corvane::testing::readBytes;
using corvane::testing::writeBytes;

namespace {

QStringList damagedCopies(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("defaults.json.damaged-*")}, QDir::Files, QDir::Name);
}

struct FakeStore {
    ManualScheduler scheduler;
    FakeDefaultsFile* file = nullptr;
    std::unique_ptr<UserDefaults> defaults;

    explicit FakeStore(Json preloaded = {}, QStringList arguments = {}) {
        auto made = std::make_unique<FakeDefaultsFile>(std::move(preloaded));
        file = made.get();
        defaults = std::make_unique<UserDefaults>(std::move(made), scheduler, std::move(arguments));
    }
};

} // namespace

TEST(UserDefaults, KindsSurviveARestartThroughTheRealFile) {
    // Given a store over a file in a folder that does not exist yet
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/config/Corvane/defaults.json");
    ManualScheduler scheduler;
    auto defaults = std::make_unique<UserDefaults>(std::make_unique<JsonDefaultsFile>(path), scheduler);

    // When one value of every kind is set and flushed
    defaults->set("flag", true);
    defaults->set("count", 12);
    defaults->set("ratio", 12.0);
    defaults->set("delay", 0.3);
    defaults->set("name", "Å text");
    defaults->set("list", Json::array({"a", "b"}));
    defaults->set("dictionary", Json::object({{"inner", 1}}));
    defaults->flush();

    // Then the file is private, no temporary file is left, and a whole double keeps its fraction
    const QByteArray text = readBytes(path);
    EXPECT_TRUE(text.contains("\"count\": 12,")) << text.constData();
    EXPECT_TRUE(text.contains("\"ratio\": 12.0")) << text.constData();
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    EXPECT_TRUE(QDir(QFileInfo(path).absolutePath()).entryList({"defaults.json.*"}).isEmpty());

    // And a change left pending is written when the store goes away
    defaults->set("late", "written at exit");
    defaults.reset();

    // And a new store reads every value back with its kind
    UserDefaults reopened(std::make_unique<JsonDefaultsFile>(path), scheduler);
    EXPECT_TRUE(reopened.object("count")->is_number_integer());
    EXPECT_EQ(reopened.object("count")->get<int>(), 12);
    EXPECT_TRUE(reopened.object("ratio")->is_number_float());
    EXPECT_EQ(reopened.object("ratio")->get<double>(), 12.0);
    EXPECT_EQ(reopened.object("delay")->get<double>(), 0.3);
    EXPECT_EQ(reopened.boolValue("flag"), true);
    EXPECT_EQ(reopened.string("name"), "Å text");
    EXPECT_EQ(reopened.stringArray("list"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(*reopened.object("dictionary"), Json::object({{"inner", 1}}));
    EXPECT_EQ(reopened.string("late"), "written at exit");
}

TEST(UserDefaults, TypedReadersAnswerOnlyForTheirKinds) {
    // Given a store holding values of every kind
    FakeStore store(Json{{"int", 42},
                         {"negative", -7},
                         {"fraction", 0.3},
                         {"whole", 12.0},
                         {"text", "x"},
                         {"yes", true},
                         {"one", 1},
                         {"two", 2},
                         {"strings", {"a", "b"}},
                         {"mixed", {"a", 1}},
                         {"empty", Json::array()}});
    const UserDefaults& defaults = *store.defaults;

    // Then strings come as stored and numbers as their decimal text
    EXPECT_EQ(defaults.string("text"), "x");
    EXPECT_EQ(defaults.string("int"), "42");
    EXPECT_EQ(defaults.string("negative"), "-7");
    EXPECT_EQ(defaults.string("fraction"), "0.3");
    EXPECT_EQ(defaults.string("whole"), "12");
    EXPECT_EQ(defaults.string("yes"), std::nullopt);
    EXPECT_EQ(defaults.string("strings"), std::nullopt);
    EXPECT_EQ(defaults.string("absent"), std::nullopt);

    // And string arrays only when every element is a string (an empty one included)
    EXPECT_EQ(defaults.stringArray("strings"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(defaults.stringArray("empty"), std::vector<std::string>{});
    EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("text"), std::nullopt);

    // And booleans from bools and the numbers 0 and 1 only
    EXPECT_EQ(defaults.boolValue("yes"), true);
    EXPECT_EQ(defaults.boolValue("one"), true);
    EXPECT_EQ(defaults.boolValue("two"), std::nullopt);
    EXPECT_EQ(defaults.boolValue("text"), std::nullopt);
}

TEST(UserDefaults, WritesWithinAQuarterSecondAreCoalescedAndFlushWritesAtOnce) {
    // Given an empty store
    FakeStore store;
    UserDefaults& defaults = *store.defaults;

    // When three values are set within a quarter second
    defaults.set("a", 1);
    store.scheduler.advance(Seconds(0.1));
    defaults.set("b", 2);
    defaults.set("c", 3);

    // Then reads see them at once, but nothing is written yet
    EXPECT_EQ(defaults.object("c"), Json(3));
    EXPECT_EQ(store.file->saveCount, 0);
    EXPECT_TRUE(defaults.hasPendingWrite());

    // When the quarter second since the first change has passed
    store.scheduler.advance(Seconds(0.15));

    // Then one save wrote all three, and nothing more follows
    EXPECT_EQ(store.file->saveCount, 1);
    EXPECT_EQ(store.file->document, (Json{{"a", 1}, {"b", 2}, {"c", 3}}));
    store.scheduler.advance(Seconds(5));
    EXPECT_EQ(store.file->saveCount, 1);

    // When a key is removed and the store is flushed
    defaults.remove("b");
    defaults.flush();

    // Then it is written at once, the pending timer does not write again, and a clean flush is a no-op
    EXPECT_EQ(store.file->saveCount, 2);
    EXPECT_EQ(store.file->document, (Json{{"a", 1}, {"c", 3}}));
    store.scheduler.advance(Seconds(1));
    defaults.flush();
    defaults.remove("absent");
    store.scheduler.advance(Seconds(1));
    EXPECT_EQ(store.file->saveCount, 2);
    EXPECT_EQ(defaults.keys(), (std::vector<std::string>{"a", "c"}));
}

TEST(UserDefaults, ArgumentDomainOverridesReadsAndIsNeverWritten) {
    // Given launch arguments over a store that holds maxVisible = 12
    const QStringList arguments{"corvane", "-maxVisible", "20",    "-ratio", "0.5",      "-flag",
                                "YES",     "-off",        "NO",    "-json",  "false",    "-settingsTab",
                                "layouts", "stray",       "-name", "a b",    "-dangling"};
    FakeStore store(Json{{"maxVisible", 12}}, arguments);
    UserDefaults& defaults = *store.defaults;

    // Then arguments read with their kinds, a trailing key without value is ignored
    EXPECT_EQ(defaults.object("maxVisible"), Json(20));
    EXPECT_TRUE(defaults.object("maxVisible")->is_number_integer());
    EXPECT_TRUE(defaults.object("ratio")->is_number_float());
    EXPECT_EQ(defaults.boolValue("flag"), true);
    EXPECT_EQ(defaults.boolValue("off"), false);
    EXPECT_EQ(defaults.boolValue("json"), false);
    EXPECT_EQ(defaults.string("settingsTab"), "layouts");
    EXPECT_EQ(defaults.string("name"), "a b");
    EXPECT_FALSE(defaults.hasArgument("dangling"));
    EXPECT_EQ(defaults.argument("maxVisible"), Json(20));

    // When the overridden key is set and the store flushed
    defaults.set("maxVisible", 30);
    defaults.flush();

    // Then reads still see the argument, and the file holds only what was set
    EXPECT_EQ(defaults.object("maxVisible"), Json(20));
    EXPECT_EQ(store.file->document, (Json{{"maxVisible", 30}}));
    EXPECT_EQ(defaults.keys(), std::vector<std::string>{"maxVisible"});

    // And the program name is never read as a key
    EXPECT_TRUE(UserDefaults::parseArguments({"-program", "value"}).empty());
}

TEST(UserDefaults, DamagedFileIsSetAsideAndNeverOverwritten) {
    // Given a defaults file that does not parse
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/defaults.json");
    writeBytes(path, "{\"maxVisible\": 20,");
    ManualScheduler scheduler;

    // When a store opens it and then saves a change
    {
        UserDefaults defaults(std::make_unique<JsonDefaultsFile>(path), scheduler);
        EXPECT_TRUE(defaults.keys().empty());
        defaults.set("fresh", true);
        defaults.flush();
    }

    // Then the damaged text is kept byte for byte beside the new file
    QStringList copies = damagedCopies(dir.path());
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readBytes(dir.filePath(copies[0])), "{\"maxVisible\": 20,");
    EXPECT_EQ(Json::parse(readBytes(path).toStdString()), (Json{{"fresh", true}}));

    // When another damaged file (valid JSON, but no object) turns up, possibly within the same second
    writeBytes(path, "[1, 2]");
    UserDefaults again(std::make_unique<JsonDefaultsFile>(path), scheduler);

    // Then it gets its own name, and the earlier copy is untouched
    copies = damagedCopies(dir.path());
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(readBytes(dir.filePath(copies[0])), "{\"maxVisible\": 20,");
    EXPECT_FALSE(QFile::exists(path));
}

TEST(UserDefaults, DamagedFileThatStaysInPlaceIsNeverSavedOver) {
    // Given a file that cannot be read and cannot be moved aside either
    Json onDisk{{"keep", "me"}};
    auto made = std::make_unique<FakeDefaultsFile>(onDisk);
    FakeDefaultsFile* file = made.get();
    file->failLoads = true;
    ManualScheduler scheduler;
    UserDefaults defaults(std::move(made), scheduler);

    // When values are set and flushed
    defaults.set("fresh", 1);
    scheduler.advance(Seconds(1));
    defaults.flush();

    // Then the store works in memory, but the file was never written
    EXPECT_TRUE(file->setAsideCalled);
    EXPECT_EQ(defaults.object("fresh"), Json(1));
    EXPECT_EQ(file->saveCount, 0);
    EXPECT_EQ(file->document, onDisk);
}

TEST(UserDefaults, AnUnreadableFileStaysUntouchedAndATooDeepOneIsDamaged) {
    // Given a defaults path that cannot be read (a folder stands there; permissions do not bind
    // root, which the tests may run as)
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/defaults.json");
    QDir().mkpath(path);
    ManualScheduler scheduler;
    {
        UserDefaults defaults(std::make_unique<JsonDefaultsFile>(path), scheduler);
        // Then the store runs on defaults, says so, and neither moves nor writes the file
        ASSERT_TRUE(defaults.loadProblem());
        defaults.set("fresh", true);
        defaults.flush();
        EXPECT_TRUE(defaults.hasPendingWrite());
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(damagedCopies(dir.path()).isEmpty());
    QDir(path).removeRecursively();

    // Given a small file nested deeper than anything we store, and a leftover of a killed write
    const QByteArray deep = "{\"k\": " + QByteArray(100'000, '[') + QByteArray(100'000, ']') + "}";
    writeBytes(path, deep);
    writeBytes(path + QStringLiteral(".corvane-99999999-q1W2e3"), "{\"half");
    ::chmod(QFile::encodeName(path + QStringLiteral(".corvane-99999999-q1W2e3")).constData(), 0600);
    {
        UserDefaults defaults(std::make_unique<JsonDefaultsFile>(path), scheduler);
        // Then it is set aside unread, the user hears where, and the store works as usual
        EXPECT_TRUE(defaults.keys().empty());
        EXPECT_FALSE(defaults.loadProblem());
        ASSERT_TRUE(defaults.setAsideNotice());
        EXPECT_TRUE(defaults.setAsideNotice()->contains(QStringLiteral("defaults.json.damaged-")));
    }
    const QStringList copies = damagedCopies(dir.path());
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readBytes(dir.filePath(copies[0])), deep);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".corvane-99999999-q1W2e3")));
}

TEST(UserDefaults, ASettingsFileThatIsNoFileOfOursIsReadInBoundsAndNeverWrittenOver) {
    using namespace corvane::testing;
    for (const OddFile kind : oddFiles) {
        SCOPED_TRACE(nameOf(kind));
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/defaults.json");
        makeOddFile(path, kind);
        const QString before = oddFileState(path);
        ManualScheduler scheduler;
        const PeakMemoryGrowth memory;
        {
            // Then the start neither waits nor fills memory, says why the file is not read, and
            // keeps changes in memory only
            UserDefaults defaults(std::make_unique<JsonDefaultsFile>(path), scheduler);
            EXPECT_LT(memory.bytes(), qint64(200) << 20);
            ASSERT_TRUE(defaults.loadProblem());
            defaults.set("fresh", true);
            scheduler.advance(Seconds(1));
            defaults.flush();
            EXPECT_TRUE(defaults.hasPendingWrite());
        }
        EXPECT_EQ(oddFileState(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("defaults.json")});
    }

    // A link into a dotfiles folder whose target is not there yet is a file still to be made: it
    // is written through
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/defaults.json");
    const QString target = dir.path() + QStringLiteral("/dotfiles/defaults.json");
    ASSERT_TRUE(QFile::link(target, path));
    ManualScheduler scheduler;
    {
        UserDefaults defaults(std::make_unique<JsonDefaultsFile>(path), scheduler);
        EXPECT_FALSE(defaults.loadProblem());
        defaults.set("fresh", true);
        defaults.flush();
    }
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(Json::parse(readBytes(target).toStdString()), (Json{{"fresh", true}}));
}

TEST(UserDefaults, FailedSaveIsToldOnceStaysPendingAndIsRetriedByTheNextWriteAndOnATimer) {
    // Given a store whose folder cannot be created because a file sits where it should be
    QTemporaryDir dir;
    const QString blocker = dir.path() + QStringLiteral("/Corvane");
    writeBytes(blocker, "not a folder");
    const QString path = blocker + QStringLiteral("/defaults.json");
    ManualScheduler scheduler;
    UserDefaults defaults(std::make_unique<JsonDefaultsFile>(path), scheduler);
    QSignalSpy told(&defaults, &UserDefaults::saveFailed);

    // When a value is set and its write falls due
    defaults.set("first", 1);
    scheduler.advance(Seconds(0.25));

    // Then the write failed and is still pending; the user hears of it once, with the reason
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(defaults.hasPendingWrite());
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(QStringLiteral("not a folder")));
    scheduler.advance(UserDefaults::retryInterval);
    EXPECT_EQ(told.count(), 1);

    // When the folder becomes usable and another value is set
    QFile::remove(blocker);
    defaults.set("second", 2);
    scheduler.advance(Seconds(0.25));

    // Then both values reach the file
    EXPECT_FALSE(defaults.hasPendingWrite());
    EXPECT_EQ(Json::parse(readBytes(path).toStdString()), (Json{{"first", 1}, {"second", 2}}));

    // When writing fails again and the disk comes back without another change
    QFile::remove(path);
    QDir(dir.path()).rmdir(QStringLiteral("Corvane"));
    writeBytes(blocker, "not a folder");
    defaults.set("third", 3);
    scheduler.advance(Seconds(0.25));
    EXPECT_EQ(told.count(), 2);
    QFile::remove(blocker);
    scheduler.advance(UserDefaults::retryInterval);
    // Then the timer's retry lands it
    EXPECT_FALSE(defaults.hasPendingWrite());
    EXPECT_EQ(Json::parse(readBytes(path).toStdString()), (Json{{"first", 1}, {"second", 2}, {"third", 3}}));

    // When a value would make the file larger than a start reads back
    defaults.set("huge", std::string(JsonDefaultsFile::sizeLimit, 'x'));
    scheduler.advance(Seconds(0.25));
    // Then that is told, and the file keeps what the next start can read
    EXPECT_EQ(told.count(), 3);
    EXPECT_TRUE(defaults.hasPendingWrite());
    EXPECT_EQ(Json::parse(readBytes(path).toStdString()), (Json{{"first", 1}, {"second", 2}, {"third", 3}}));
}

TEST(JsonDefaultsFile, DefaultPathFollowsTheConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/config-home");
    EXPECT_EQ(JsonDefaultsFile::defaultPath(), QStringLiteral("/tmp/config-home/Corvane/defaults.json"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(JsonDefaultsFile::defaultPath(),
              QDir::homePath() + QStringLiteral("/.config/Corvane/defaults.json"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}
