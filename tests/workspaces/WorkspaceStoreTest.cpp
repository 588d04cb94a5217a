#include "workspaces/WorkspaceStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <limits>

using namespace corvane;

namespace {

class WorkspaceStoreTest : public ::testing::Test {
protected:
    QString path() const { return dir.path() + QStringLiteral("/Corvane/workspaces.json"); }
    void write(const QByteArray& bytes) {
        QDir().mkpath(dir.path() + QStringLiteral("/Corvane"));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    nlohmann::json readJson() const { return nlohmann::json::parse(read().toStdString()); }
    QStringList corruptCopies() const {
        return QDir(dir.path() + QStringLiteral("/Corvane"))
            .entryList({QStringLiteral("workspaces.corrupt-*.json")});
    }

    QTemporaryDir dir;
};

Workspace fullWorkspace() {
    WorkspaceItem item;
    item.id = QUuid::createUuid();
    item.bundleID = QStringLiteral("org.example.Editor");
    item.appName = QStringLiteral("Editor");
    item.appPath = QStringLiteral("/usr/share/applications/org.example.Editor.desktop");
    item.titleContains = QStringLiteral("notes.txt");
    item.relativeFrame = QRectF(0.125, 0.25, 0.5, 0.75);
    item.screenID = QStringLiteral("DP-1");
    item.launchArgs = QStringList{QStringLiteral("~/notes.txt"), QStringLiteral("--new-window")};
    Workspace workspace;
    workspace.id = QUuid::createUuid();
    workspace.name = QStringLiteral("Deep work");
    workspace.colorHex = QStringLiteral("#D22027");
    workspace.hotkeyIndex = 3;
    workspace.items = {item};
    workspace.layout = LayoutPreset::sixtyForty;
    return workspace;
}

Workspace bareWorkspace() {
    WorkspaceItem item;
    item.id = QUuid::createUuid();
    item.bundleID = QStringLiteral("xterm");
    item.relativeFrame = QRectF(0, 0, 1, 1);
    Workspace workspace;
    workspace.id = QUuid::createUuid();
    workspace.name = QStringLiteral("Plain");
    workspace.colorHex = QStringLiteral("#000000");
    workspace.items = {item};
    return workspace;
}

const char* oneWorkspace = R"({"colorHex": "#111111", "id": "6f1c1f8e-1d2b-4c3a-9e4f-0a1b2c3d4e5f",
    "items": [], "name": "Old"})";

} // namespace

TEST_F(WorkspaceStoreTest, SavedListsReadBackEqualWithSortedKeysAndNoAbsentValues) {
    WorkspaceStore store(path());
    const std::vector<Workspace> saved{fullWorkspace(), bareWorkspace()};

    // The folder does not exist yet: saving creates it.
    ASSERT_FALSE(store.save(saved));
    const auto loaded = store.load();

    EXPECT_FALSE(loaded.error);
    EXPECT_EQ(loaded.workspaces, saved);
    const auto json = readJson();
    EXPECT_EQ(json["version"], 1);
    const auto& bare = json["workspaces"][1];
    EXPECT_FALSE(bare.contains("hotkeyIndex"));
    EXPECT_FALSE(bare.contains("layout"));
    for (const char* key : {"appName", "appPath", "titleContains", "screenID", "launchArgs"})
        EXPECT_FALSE(bare["items"][0].contains(key)) << key;
    // Identifiers are written in upper case; the rectangle as two pairs.
    EXPECT_EQ(QString::fromStdString(bare["id"].get<std::string>()),
              saved[1].id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(json["workspaces"][0]["items"][0]["relativeFrame"],
              nlohmann::json::parse("[[0.125,0.25],[0.5,0.75]]"));
    // Keys appear in ascending order in the text itself.
    const QByteArray text = read();
    EXPECT_LT(text.indexOf("\"colorHex\""), text.indexOf("\"hotkeyIndex\""));
    EXPECT_LT(text.indexOf("\"hotkeyIndex\""), text.indexOf("\"id\""));
    EXPECT_LT(text.indexOf("\"version\""), text.indexOf("\"workspaces\""));
}

TEST_F(WorkspaceStoreTest, OlderLayoutsAreReadAndRewrittenCurrentOnesAreLeftAlone) {
    WorkspaceStore store(path());

    // Given a current file: read as it is, not rewritten.
    const QByteArray current = QByteArray("{\"version\": 1, \"workspaces\": [") + oneWorkspace + "]}";
    write(current);
    auto loaded = store.load();
    EXPECT_FALSE(loaded.error);
    ASSERT_EQ(loaded.workspaces.size(), 1u);
    EXPECT_EQ(loaded.workspaces[0].name, QStringLiteral("Old"));
    EXPECT_EQ(read(), current);

    // Given version 0: the same workspaces come back and the file now says version 1.
    write(QByteArray("{\"version\": 0, \"workspaces\": [") + oneWorkspace + "]}");
    loaded = store.load();
    ASSERT_EQ(loaded.workspaces.size(), 1u);
    EXPECT_EQ(readJson()["version"], 1);
    EXPECT_EQ(readJson()["workspaces"][0]["name"], "Old");

    // Given a bare array, even an empty one: rewritten at once in the wrapped form.
    write("[]");
    loaded = store.load();
    EXPECT_FALSE(loaded.error);
    EXPECT_TRUE(loaded.workspaces.empty());
    EXPECT_EQ(readJson(), nlohmann::json::parse(R"({"version": 1, "workspaces": []})"));
    EXPECT_TRUE(corruptCopies().isEmpty());
}

TEST_F(WorkspaceStoreTest, NewerFilesAreRefusedAndKeptByteForByte) {
    WorkspaceStore store(path());
    // A newer format may shape its workspaces differently; that must not get the file moved aside.
    for (const QByteArray& text : {QByteArray("{\"version\": 3, \"workspaces\": [") + oneWorkspace + "]}",
                                   QByteArray("{\"version\": 2, \"workspaces\": {\"new\": true}}")}) {
        write(text);
        const auto loaded = store.load();
        ASSERT_TRUE(loaded.error);
        EXPECT_EQ(loaded.error->kind, WorkspaceStoreError::Kind::unsupportedVersion);
        EXPECT_EQ(loaded.error->version, text.contains("\"version\": 3") ? 3 : 2);
        EXPECT_EQ(read(), text);
        EXPECT_TRUE(corruptCopies().isEmpty());
    }
}

TEST_F(WorkspaceStoreTest, DamagedFilesAreMovedAsideWithoutReplacingEarlierCopies) {
    WorkspaceStore store(path());
    const QByteArray damaged[] = {
        "not json at all",
        "",
        "{\"workspaces\": []}", // no version: neither layout
        QByteArray("[") + QByteArray(oneWorkspace).replace("6f1c1f8e", "zzzzzzzz") + "]",
        "{\"version\": 1, \"workspaces\": [{\"colorHex\": \"#1\", \"id\": "
        "\"6f1c1f8e-1d2b-4c3a-9e4f-0a1b2c3d4e5f\","
        " \"items\": [], \"name\": \"L\", \"layout\": \"spiral\"}]}",
        "{\"version\": 1, \"workspaces\": [{\"colorHex\": \"#1\", \"id\": "
        "\"6f1c1f8e-1d2b-4c3a-9e4f-0a1b2c3d4e5f\","
        " \"items\": [{\"bundleID\": \"x\", \"id\": \"6f1c1f8e-1d2b-4c3a-9e4f-0a1b2c3d4e5f\","
        " \"relativeFrame\": [0, 0, 1, 1]}], \"name\": \"R\"}]}",
    };
    int expectedCopies = 0;
    for (const QByteArray& text : damaged) {
        write(text);
        const auto loaded = store.load();
        EXPECT_FALSE(loaded.error) << text.constData();
        EXPECT_TRUE(loaded.workspaces.empty());
        EXPECT_FALSE(QFile::exists(path()));
        // Several damaged files within one second each keep their own copy.
        EXPECT_EQ(corruptCopies().size(), ++expectedCopies) << text.constData();
    }
    QStringList contents;
    for (const QString& name : corruptCopies()) {
        QFile copy(dir.path() + QStringLiteral("/Corvane/") + name);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        contents.push_back(QString::fromUtf8(copy.readAll()));
    }
    EXPECT_TRUE(contents.contains(QStringLiteral("not json at all")));
}

TEST_F(WorkspaceStoreTest, FilesThatCannotBeReadOrMovedAsideAreLoadErrors) {
    // Given a path that is a folder: it cannot be read.
    QDir().mkpath(path());
    WorkspaceStore unreadable(path());
    auto loaded = unreadable.load();
    ASSERT_TRUE(loaded.error);
    EXPECT_EQ(loaded.error->kind, WorkspaceStoreError::Kind::unreadable);

    // Given a damaged file in a folder that refuses renames: it stays and the load fails.
    QTemporaryDir other;
    const QString folder = other.path() + QStringLiteral("/locked");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/workspaces.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{broken");
    file.close();
    // Renaming needs write access to the folder; root ignores permissions, so a read-only bind is
    // not available here: occupy every name the copy could take instead.
    WorkspaceStore locked(folder + QStringLiteral("/workspaces.json"));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (qint64 second = now; second <= now + 2; ++second)
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString suffix = attempt == 0 ? QString() : QStringLiteral("-%1").arg(attempt);
            QDir().mkpath(folder + QStringLiteral("/workspaces.corrupt-%1%2.json").arg(second).arg(suffix));
        }
    loaded = locked.load();
    ASSERT_TRUE(loaded.error);
    EXPECT_EQ(loaded.error->kind, WorkspaceStoreError::Kind::unmovable);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("{broken"));
}

TEST_F(WorkspaceStoreTest, UnknownKeysAreIgnoredAndMissingOrNullOptionalsReadAsAbsent) {
    write(R"({"version": 1, "future": {"x": 1}, "workspaces": [
        {"colorHex": "#ABCDEF", "id": "6F1C1F8E-1D2B-4C3A-9E4F-0A1B2C3D4E5F", "name": "Mixed",
         "hotkeyIndex": null, "layout": null, "extra": [1, 2],
         "items": [{"bundleID": "xterm", "id": "6f1c1f8e-1d2b-4c3a-9e4f-0a1b2c3d4e50",
                    "relativeFrame": [[0.1, 0.2], [0.3, 0.4]], "appName": null, "shade": "blue"}]}]})");
    WorkspaceStore store(path());
    const auto loaded = store.load();
    ASSERT_FALSE(loaded.error);
    ASSERT_EQ(loaded.workspaces.size(), 1u);
    const Workspace& workspace = loaded.workspaces[0];
    EXPECT_EQ(workspace.id, QUuid::fromString(QStringLiteral("6f1c1f8e-1d2b-4c3a-9e4f-0a1b2c3d4e5f")));
    EXPECT_FALSE(workspace.hotkeyIndex);
    EXPECT_FALSE(workspace.layout);
    ASSERT_EQ(workspace.items.size(), 1u);
    EXPECT_FALSE(workspace.items[0].appName);
    EXPECT_EQ(workspace.items[0].relativeFrame, QRectF(0.1, 0.2, 0.3, 0.4));

    // A missing required key spoils the whole file: it is moved aside.
    write(
        R"({"version": 1, "workspaces": [{"id": "6F1C1F8E-1D2B-4C3A-9E4F-0A1B2C3D4E5F", "name": "N", "items": []}]})");
    EXPECT_TRUE(store.load().workspaces.empty());
    EXPECT_EQ(corruptCopies().size(), 1);
}

TEST_F(WorkspaceStoreTest, NonFiniteNumbersFailTheSaveAndKeepThePreviousFile) {
    WorkspaceStore store(path());
    ASSERT_FALSE(store.save({bareWorkspace()}));
    const QByteArray before = read();

    Workspace broken = fullWorkspace();
    broken.items[0].relativeFrame = QRectF(std::numeric_limits<double>::quiet_NaN(), 0, 1, 1);
    const auto error = store.save({broken});

    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, WorkspaceStoreError::Kind::encoding);
    EXPECT_EQ(read(), before);
    EXPECT_EQ(QDir(dir.path() + QStringLiteral("/Corvane")).entryList(QDir::Files).size(), 1);
}

TEST_F(WorkspaceStoreTest, SavesAfterAFailedLoadAreRefusedUntilALoadSucceeds) {
    // Given a file from a newer program that failed to load.
    const QByteArray newer = "{\"version\": 2, \"workspaces\": [\"kept\"]}";
    write(newer);
    WorkspaceStore store(path());
    ASSERT_TRUE(store.load().error);

    // When anything is saved: refused, and the file keeps every byte.
    const auto refused = store.save({bareWorkspace()});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind, WorkspaceStoreError::Kind::writing);
    EXPECT_EQ(read(), newer);

    // Once a load succeeds (the user replaced the file), saving works again.
    write("{\"version\": 1, \"workspaces\": []}");
    ASSERT_FALSE(store.load().error);
    EXPECT_FALSE(store.save({bareWorkspace()}));
    EXPECT_EQ(readJson()["workspaces"][0]["name"], "Plain");
}

TEST_F(WorkspaceStoreTest, DecodingJudgesBytesAsTheLoadDoesWithoutTouchingTheDisk) {
    const QByteArray list = QByteArray("[") + oneWorkspace + "]";

    const auto current = WorkspaceStore::decode("{\"version\": 1, \"workspaces\": " + list + "}");
    ASSERT_TRUE(current.workspaces);
    EXPECT_EQ(current.workspaces->size(), 1u);
    EXPECT_FALSE(current.olderLayout);
    EXPECT_FALSE(current.error);

    for (const QByteArray& older : {list, "{\"version\": -4, \"workspaces\": " + list + "}"}) {
        const auto decoded = WorkspaceStore::decode(older);
        ASSERT_TRUE(decoded.workspaces) << older.constData();
        EXPECT_TRUE(decoded.olderLayout) << older.constData();
    }

    // A version above the current one, even a fractional or huge one, is refused, not damaged.
    for (const QByteArray& newer : {QByteArray("{\"version\": 7, \"workspaces\": 0}"),
                                    QByteArray("{\"version\": 1.5, \"workspaces\": []}"),
                                    QByteArray("{\"version\": 1e300, \"workspaces\": []}")}) {
        const auto decoded = WorkspaceStore::decode(newer);
        EXPECT_FALSE(decoded.workspaces) << newer.constData();
        ASSERT_TRUE(decoded.error) << newer.constData();
        EXPECT_EQ(decoded.error->kind, WorkspaceStoreError::Kind::unsupportedVersion);
        EXPECT_GT(decoded.error->version, WorkspaceStore::currentVersion);
    }

    // Damaged bytes: neither a list nor an error; a letter outside ASCII is no hex digit.
    for (const QByteArray& damaged :
         {QByteArray("{\"version\": 1, \"workspaces\": [1e999]}"), QByteArray("{\"version\": 1"),
          QByteArray("[") + QByteArray(oneWorkspace).replace("6f1c1f8e", "6f1c1f8\xc3\xa9") + "]"}) {
        const auto decoded = WorkspaceStore::decode(damaged);
        EXPECT_FALSE(decoded.workspaces) << damaged.constData();
        EXPECT_FALSE(decoded.error) << damaged.constData();
    }
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(WorkspaceStoreTest, OneUnreadableWorkspaceSetsTheWholeFileAsideAndTooDeepFilesAreDamaged) {
    // Given a file whose second workspace has an id that is no UUID
    const QByteArray good = QByteArray(oneWorkspace);
    const QByteArray bad = QByteArray(oneWorkspace).replace("6f1c1f8e", "zzzzzzzz");
    const QByteArray mixed = "{\"version\": 1, \"workspaces\": [" + good + ", " + bad + "]}";
    write(mixed);
    WorkspaceStore store(path());

    // Then none loads: the whole file is moved aside as it was, and the list starts empty
    auto loaded = store.load();
    ASSERT_FALSE(loaded.error);
    EXPECT_TRUE(loaded.workspaces.empty());
    ASSERT_TRUE(loaded.setAsidePath);
    QFile copy(*loaded.setAsidePath);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), mixed);
    EXPECT_FALSE(QFile::exists(path()));
    // And the next save starts a new file beside it
    EXPECT_FALSE(store.save(loaded.workspaces));
    EXPECT_EQ(readJson()["workspaces"].size(), 0u);
    EXPECT_EQ(readJson()["version"], 1);

    // Given a file nested far deeper than any of ours, even under a key nobody reads
    write("{\"version\": 1, \"extra\": " + QByteArray(1000, '[') + QByteArray(1000, ']') +
          ", \"workspaces\": [" + good + "]}");
    loaded = store.load();
    // Then it is damaged: moved aside unread
    EXPECT_FALSE(loaded.error);
    EXPECT_TRUE(loaded.workspaces.empty());
    EXPECT_TRUE(loaded.setAsidePath);
    EXPECT_FALSE(QFile::exists(path()));
}
