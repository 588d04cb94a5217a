#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardIndex.h"
#include "support/AppFixture.h"
#include "support/OddFiles.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <map>
#include <sys/stat.h>

namespace corvane::testing {
namespace {

QByteArray redPng() {
    QImage image(QSize(4, 3), QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Every file under `folder` with its bytes, mode and time, but those the store names itself and
// the folders it sets damage aside in.
std::map<QString, QString> userFiles(const QString& folder) {
    std::map<QString, QString> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(folder).relativeFilePath(path);
        if (name == "index.json" || name == "handoff" || name.startsWith("damaged-") ||
            isStoreImageName(name))
            continue;
        struct stat status {};
        ::lstat(QFile::encodeName(path).constData(), &status);
        files[name] = QStringLiteral("%1 %2.%3 ")
                          .arg(status.st_mode)
                          .arg(status.st_mtim.tv_sec)
                          .arg(status.st_mtim.tv_nsec) +
                      QString::fromLatin1(readBytes(path).toHex());
    }
    return files;
}

class ClipboardStoreTest : public AppFixture {
protected:
    ClipboardStoreTest() { settings = std::make_unique<Settings>(*platform->defaults, notifications); }

    std::unique_ptr<ClipboardHistory> start() {
        history.reset();
        auto made =
            std::make_unique<ClipboardHistory>(*settings, scheduler, background, *platform->fakePasteboard,
                                               *platform->runningApplications, ClipboardStore(dir()));
        made->setEnabled(true);
        return made;
    }
    void settle() {
        scheduler.advance(ClipboardSaver::delay);
        history->waitForSaves();
    }
    QString dir() const { return home.path() + "/Corvane/Clipboard"; }

    QTemporaryDir home;
    std::unique_ptr<ClipboardHistory> history;
};

TEST_F(ClipboardStoreTest, AFolderLinkedHereKeepsEveryFileThatDoesNotCarryTheStoresOwnName) {
    // Given the clipboard folder linked to a folder of someone's files: names an interrupted save
    // of an earlier build would have left, backups, pictures not named as the store names them, a
    // folder of their own; and an index and a picture under the store's own names
    const QString decoys = home.path() + "/decoys";
    const QString storePicture = "0F8FAD5B-D9CB-469F-A165-70867728950E.png";
    for (const QString& name : QStringList{"index.json.tmp-abc123", "index.json.Ab12Cd", "photo.png.bak001",
                                           storePicture + ".tmp-abc123"}) {
        writeBytes(decoys + "/" + name, "a user's " + name.toUtf8());
        ::chmod(QFile::encodeName(decoys + "/" + name).constData(), 0600);
    }
    for (const QString& name :
         QStringList{"photo.png", "0f8fad5b-d9cb-469f-a165-70867728950e.png", "notes", "inner/a.png"})
        writeBytes(decoys + "/" + name, "a user's " + name.toUtf8());
    writeBytes(decoys + "/index.json", "not an index");
    writeBytes(decoys + "/" + storePicture, redPng());
    const std::map<QString, QString> before = userFiles(decoys);
    QDir().mkpath(home.path() + "/Corvane");
    const auto relink = [&] {
        QFile::remove(dir());
        ASSERT_TRUE(QFile::link(decoys, dir()));
    };

    // When a start keeping the history for a day finds the index undecodable
    settings->setClipboardRetentionDays(1);
    relink();
    history = start();
    // Then the index goes aside with the store's picture, the user hears where, and nothing else moves
    const std::optional<QString> notice = history->takeStoreNotice();
    ASSERT_TRUE(notice);
    const QStringList aside = QDir(decoys).entryList({"damaged-*"}, QDir::Dirs);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(notice->contains(aside[0]));
    EXPECT_EQ(readBytes(decoys + "/" + aside[0] + "/index.json"), "not an index");
    EXPECT_EQ(readBytes(decoys + "/" + aside[0] + "/" + storePicture), redPng());
    EXPECT_EQ(userFiles(decoys), before);

    // When a text and a picture are copied and saved, a day passes and the next copy prunes them
    // and saves again, and the history is cleared
    platform->fakePasteboard->copyText("text");
    scheduler.advance(ClipboardHistory::pollInterval);
    platform->fakePasteboard->copy({{"image/png", redPng()}});
    scheduler.advance(ClipboardHistory::pollInterval);
    settle();
    EXPECT_EQ(QDir(decoys).entryList({"*.png"}, QDir::Files).size(), 3);
    EXPECT_EQ(userFiles(decoys), before);
    scheduler.advance(Seconds(86400 + 1));
    platform->fakePasteboard->copyText("more");
    scheduler.advance(ClipboardHistory::pollInterval);
    settle();
    ASSERT_EQ(history->items().size(), 1u);
    EXPECT_EQ(userFiles(decoys), before);
    history->clear();
    settle();
    EXPECT_EQ(userFiles(decoys), before);

    // When the history is kept for a day and the next start finds the index it saved
    relink();
    history = start();
    EXPECT_FALSE(history->takeStoreNotice());
    EXPECT_EQ(userFiles(decoys), before);

    // When a start keeps the history only while Corvane runs: the link is the store that goes
    settings->setClipboardRetentionDays(0);
    relink();
    history = start();
    EXPECT_FALSE(QFileInfo(dir()).isSymLink());
    EXPECT_EQ(userFiles(decoys), before);
    EXPECT_EQ(QDir(decoys).entryList({"damaged-*"}, QDir::Dirs), aside);
}

TEST_F(ClipboardStoreTest, AnIndexThatIsNoFileOfOursIsReadInBoundsAndNeverSavedOver) {
    settings->setClipboardRetentionDays(1);
    for (const OddFile kind : oddFiles) {
        SCOPED_TRACE(nameOf(kind));
        history.reset();
        QDir(dir()).removeRecursively();
        makeOddFile(dir() + "/index.json", kind);
        const QString before = oddFileState(dir() + "/index.json");

        // Then the start neither waits nor fills memory, the user hears that the history is not
        // saved, and neither a copy nor the quit writes over the file or moves it
        const PeakMemoryGrowth memory;
        history = start();
        EXPECT_LT(memory.bytes(), qint64(200) << 20);
        EXPECT_TRUE(history->takeStoreNotice());
        platform->fakePasteboard->copyText("text");
        scheduler.advance(ClipboardHistory::pollInterval);
        settle();
        history->flushForTermination();
        EXPECT_EQ(oddFileState(dir() + "/index.json"), before);
        EXPECT_EQ(QDir(dir()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{"index.json"});
    }
}

TEST(ClipboardStore, AHistoryPastTheIndexLimitIsNotSavedSoTheLastSavedOneStillLoads) {
    const auto text = [](const QString& content) {
        ClipItem item = ClipItem::makeText(content);
        item.id = QUuid::createUuid();
        item.date = QDateTime::currentDateTimeUtc();
        return item;
    };
    // Given a store whose index may hold 1 KiB, holding a short history
    QTemporaryDir home;
    const ClipboardStore store(home.path() + "/Clipboard", 1024);
    ASSERT_FALSE(store.save({text("short")}));

    // When a history whose index would pass the limit is saved
    const std::optional<ClipboardStore::SaveFailure> error = store.save({text(QString(2000, 'x'))});

    // Then the save says so, and the next start loads the last history saved
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->tooLarge);
    EXPECT_TRUE(error->message.contains("larger than 1024 bytes")) << error->message.toStdString();
    const ClipboardStore::Loaded loaded = store.load();
    EXPECT_EQ(loaded.status, ClipboardStore::Loaded::Status::loaded);
    ASSERT_EQ(loaded.items.size(), 1u);
    EXPECT_EQ(loaded.items[0].text, "short");
}

TEST(ClipboardStore, TheIndexIsWrittenInPiecesAsItsReadersLibraryWritesItAndReadsBackTheSame) {
    // Texts with every character JSON escapes, others it does not, characters past the first
    // plane (one across the place where a long text is cut into slices), and a lone surrogate
    const QString escapes = QStringLiteral("\"q\" back\\slash /\n\t\r\b\f\x01\x1f\x7f end");
    const QString wide = QStringLiteral("Grüße, 日本語, ") + QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    const QString longText =
        QString(4095, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80") + QString(300000, 'z');
    FileList paths;
    for (const QString& path : {QStringLiteral("/home/u/a \"quoted\" name"), QStringLiteral("/tmp/new\nline"),
                                QStringLiteral("/tmp/Grüße.txt"), QStringLiteral("")})
        paths.append(path);
    const auto record = [](QString type, double date) {
        StoredClip clip;
        clip.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
        clip.type = std::move(type);
        clip.date = date;
        return clip;
    };
    std::vector<StoredClip> records;
    for (const QString& text : {escapes, wide, lone, longText, QString()}) {
        records.push_back(record("text", 786812345.125));
        records.back().text = text;
    }
    records.back().source = QStringLiteral("org.example.\"editor\"");
    records.push_back(record("link", -3.5e-7));
    records.back().text = QStringLiteral("https://example.org/a?b=c&d=%22e%22");
    records.push_back(record("image", 0));
    records.back().image = storeImageName(records.back().id);
    records.push_back(record("files", 1e9));
    records.back().paths = paths;
    records.push_back(record("files", 2));
    records.back().paths = FileList();

    // What the reader's own library writes for these records, as the index was always written
    nlohmann::json array = nlohmann::json::array();
    for (const StoredClip& clip : records) {
        nlohmann::json object = {
            {"id", clip.id.toStdString()}, {"date", clip.date}, {"type", clip.type.toStdString()}};
        if (clip.source)
            object["source"] = clip.source->toStdString();
        if (clip.text)
            object["text"] = clip.text->toStdString();
        if (clip.paths) {
            object["paths"] = nlohmann::json::array();
            for (const QString& path : clip.paths->paths())
                object["paths"].push_back(path.toStdString());
        }
        if (clip.image)
            object["image"] = clip.image->toStdString();
        array.push_back(std::move(object));
    }
    const QByteArray expected =
        QByteArray::fromStdString(array.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));

    // The index comes in pieces of a bounded size, byte for byte what the library writes
    QByteArray written;
    qsizetype largestPiece = 0;
    ASSERT_TRUE(writeClipboardIndex(records, [&](QByteArrayView piece) {
        written.append(piece);
        largestPiece = std::max(largestPiece, piece.size());
        return true;
    }));
    EXPECT_EQ(written, expected);
    EXPECT_EQ(clipboardIndexSize(records), expected.size());
    EXPECT_LE(largestPiece, 128 * 1024);

    // And reads back as it was
    const auto read = decodeClipboardIndex(written);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        const StoredClip& a = records[i];
        const StoredClip& b = (*read)[i];
        EXPECT_EQ(b.id, a.id);
        EXPECT_EQ(b.date, a.date);
        EXPECT_EQ(b.type, a.type);
        EXPECT_EQ(b.source, a.source);
        EXPECT_EQ(b.image, a.image);
        EXPECT_EQ(b.paths, a.paths);
        // Each text as UTF-8 holds it (a lone surrogate, no character, is replaced)
        ASSERT_EQ(b.text.has_value(), a.text.has_value());
        if (a.text) {
            EXPECT_EQ(*b.text, QString::fromUtf8(a.text->toUtf8()));
        }
    }

    // A writer that fails stops the index there
    int pieces = 0;
    EXPECT_FALSE(writeClipboardIndex(records, [&](QByteArrayView) { return ++pieces < 2; }));
    EXPECT_EQ(pieces, 2);
}

} // namespace
} // namespace corvane::testing
