#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardIndex.h"
#include "clipboard/ClipboardReading.h"
#include "core/SettingKeys.h"
#include "platform/PrivateFiles.h"
#include "runtime/ManualExecutor.h"
#include "support/AppFixture.h"
#include "support/OddFiles.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace corvane::testing {
namespace {

QByteArray pngOf(QColor color, QSize size = QSize(4, 3)) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray bigEndian(quint32 value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

// The PNG with `extra` bytes in a private chunk of its own before its end: no pixels, no text.
QByteArray withExtraChunk(const QByteArray& png, qsizetype extra) {
    const QByteArray chunk = "prVt" + QByteArray(extra, 'x');
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : chunk) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    const qsizetype end = png.size() - 12; // the IEND chunk
    return png.left(end) + bigEndian(quint32(extra)) + chunk + bigEndian(~crc) + png.mid(end);
}

QByteArray uriList(int files, const QByteArray& comment = {}) {
    QByteArray list = comment.isEmpty() ? QByteArray() : "# " + comment + "\r\n";
    for (int i = 0; i < files; ++i)
        list += "file:///tmp/copied/file%20" + QByteArray::number(i) + ".txt\r\n";
    return list;
}

int modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 0777)
                                                                   : -1;
}

class ClipboardHistoryTest : public AppFixture {
protected:
    ClipboardHistoryTest() {
        settings = std::make_unique<Settings>(*platform->defaults, notifications);
        pasteboard = platform->fakePasteboard;
    }

    std::unique_ptr<ClipboardHistory> makeHistory() {
        auto made = std::make_unique<ClipboardHistory>(*settings, scheduler, background, *pasteboard,
                                                       *platform->runningApplications, ClipboardStore(dir()));
        made->setEnabled(true);
        return made;
    }
    QString dir() const { return home.path() + "/Corvane/Clipboard"; }
    QStringList texts(const ClipboardHistory& h) const {
        QStringList out;
        for (const ClipItem& item : h.items())
            out.append(item.searchText());
        return out;
    }
    // One poll after a copy.
    void poll() { scheduler.advance(ClipboardHistory::pollInterval); }

    QTemporaryDir home;
    FakePasteboard* pasteboard;
};

TEST_F(ClipboardHistoryTest, EachKindIsRecordedNewestFirstAndOwnWritesAreNot) {
    auto history = makeHistory();
    pasteboard->copyText("  hello world \n");
    poll();
    pasteboard->copyText("https://example.org/a\n");
    poll();
    pasteboard->copy(
        {{"text/uri-list", "# comment\r\nfile:///tmp/a.txt\r\nfile:///tmp/b.txt\r\nfile:///tmp/docs/\r\n"},
         {"image/png", pngOf(Qt::red)}});
    poll();
    pasteboard->copy({{"image/png", pngOf(Qt::blue)}});
    poll();
    // A rich copy with text beside its picture is text; blanks and other schemes are no links
    pasteboard->copy({{"image/png", pngOf(Qt::green)}, {"text/plain", "rich"}});
    poll();
    pasteboard->copyText("ftp://example.org");
    poll();
    pasteboard->copyText(" \n\t");
    poll();
    // A text longer than the history keeps stays on the clipboard only (its UTF-8 bytes count:
    // two for each of these letters)
    pasteboard->copyText(QString(largestRecordedText / 2 + 1, QChar(0xE9)));
    poll();

    ASSERT_EQ(history->items().size(), 6u);
    const auto& items = history->items();
    EXPECT_EQ(items[0].text, "ftp://example.org");
    EXPECT_EQ(items[0].kind, ClipItem::Kind::text);
    EXPECT_EQ(items[1].text, "rich");
    EXPECT_EQ(items[2].kind, ClipItem::Kind::image);
    EXPECT_EQ(items[3].kind, ClipItem::Kind::files);
    EXPECT_EQ(items[3].label(), "3 Files");
    // A folder copied with its trailing slash is found by its name
    EXPECT_EQ(items[3].searchText(), "a.txt b.txt docs");
    EXPECT_EQ(items[4].kind, ClipItem::Kind::link);
    EXPECT_EQ(items[4].link, QUrl("https://example.org/a"));
    EXPECT_EQ(items[5].text, "  hello world \n");

    // Choosing an entry puts it back on the clipboard and in front, without a new entry
    history->copyToPasteboard(items[5]);
    poll();
    EXPECT_EQ(history->items().size(), 6u);
    EXPECT_EQ(history->items()[0].text, "  hello world \n");
    EXPECT_EQ(pasteboard->data("text/plain"), "  hello world \n");
}

TEST_F(ClipboardHistoryTest, MarkedCopiesAndExcludedProgramsAreNeverRecorded) {
    auto history = makeHistory();
    pasteboard->copy({{"text/plain", "pw1"}, {"org.nspasteboard.ConcealedType", ""}});
    poll();
    pasteboard->copy({{"text/plain", "pw2"}, {"x-kde-passwordManagerHint", "secret"}});
    poll();
    platform->fakeRunningApplications->apps[7] = RunningApplication{7, QString("keepassxc"), "KeePassXC"};
    platform->fakeRunningApplications->frontmost = 7;
    settings->setExcludedBundleIDs({"keepassxc"});
    pasteboard->copyText("pw3");
    poll();
    EXPECT_TRUE(history->items().empty());

    // The marker offered but not had (refused, answered in another type, never answered) says
    // nothing: the copy may be a password
    settings->setExcludedBundleIDs({});
    pasteboard->refused = QStringList{"x-kde-passwordManagerHint"};
    pasteboard->copy({{"text/plain", "pw4"}, {"x-kde-passwordManagerHint", "other"}});
    poll();
    pasteboard->refused.clear();
    EXPECT_TRUE(history->items().empty());

    // Another hint value is no password marker; the source is recorded
    settings->setExcludedBundleIDs({});
    pasteboard->copy({{"text/plain", "note"}, {"x-kde-passwordManagerHint", "other"}});
    poll();
    ASSERT_EQ(history->items().size(), 1u);
    EXPECT_EQ(history->items()[0].sourceBundleID, QString("keepassxc"));
}

TEST_F(ClipboardHistoryTest, RepeatsMoveToTheFrontAndTheLimitDropsTheOldest) {
    settings->setClipboardLimit(10);
    auto history = makeHistory();
    for (int i = 0; i < 7; ++i) {
        pasteboard->copyText(QStringLiteral("filler %1").arg(i));
        poll();
    }
    for (const char* text : {"a", "b", "a"}) {
        pasteboard->copyText(text);
        poll();
    }
    EXPECT_EQ(texts(*history).mid(0, 2), QStringList({"a", "b"}));
    // Two pictures of one size with other pixels are two entries; the same pixels are one
    pasteboard->copy({{"image/png", pngOf(Qt::red)}});
    poll();
    pasteboard->copy({{"image/png", pngOf(Qt::blue)}});
    poll();
    EXPECT_EQ(history->items().size(), 10u);
    EXPECT_FALSE(texts(*history).contains("filler 0"));
    pasteboard->copy({{"image/png", pngOf(Qt::red)}});
    poll();
    ASSERT_EQ(history->items().size(), 10u);
    EXPECT_EQ(history->items()[0].imageDigest, imageDigest(QImage::fromData(pngOf(Qt::red))));
    EXPECT_EQ(history->items()[1].imageDigest, imageDigest(QImage::fromData(pngOf(Qt::blue))));
    EXPECT_EQ(history->items()[2].text, "a");
}

TEST_F(ClipboardHistoryTest, TheLimitAsStoredCutsTheListAtTheNextCopy) {
    auto history = makeHistory();
    const auto copies = [&](int count) {
        for (int i = 0; i < count; ++i) {
            pasteboard->copyText(QUuid::createUuid().toString());
            poll();
        }
    };
    // Below the page's range the stored limit holds; 0 empties the list at every copy
    settings->setClipboardLimit(3);
    copies(5);
    EXPECT_EQ(history->items().size(), 3u);
    settings->setClipboardLimit(0);
    copies(1);
    EXPECT_TRUE(history->items().empty());
    // Past the page's range too
    settings->setClipboardLimit(250);
    copies(230);
    EXPECT_EQ(history->items().size(), 230u);
    // Below 0, edited by hand, the default count stands in: never the whole list at once
    settings->setClipboardLimit(-1);
    copies(1);
    EXPECT_EQ(history->items().size(), size_t(SettingDefaults::clipboardLimit()));
}

TEST_F(ClipboardHistoryTest, SavesOnceASecondAfterABurstPrivatelyAndPrunesByAgeAtTheNextCopy) {
    settings->setClipboardRetentionDays(1);
    auto history = makeHistory();
    for (const char* text : {"1", "2", "3"}) {
        pasteboard->copyText(text);
        scheduler.advance(Seconds(0.5));
    }
    // The last copy was seen at 1.5 s: its save comes at 2.5 s, and only that one
    scheduler.advance(Seconds(0.1));
    EXPECT_FALSE(QFile::exists(dir() + "/index.json"));
    scheduler.advance(Seconds(0.8));
    EXPECT_FALSE(QFile::exists(dir() + "/index.json"));
    scheduler.advance(Seconds(0.2));
    history->waitForSaves();
    ASSERT_TRUE(QFile::exists(dir() + "/index.json"));
    EXPECT_EQ(modeOf(dir()), 0700);
    EXPECT_EQ(modeOf(dir() + "/index.json"), 0600);
    EXPECT_EQ(ClipboardStore(dir()).load().items.size(), 3u);

    // An image is written once, private; deleting its entry deletes its file
    pasteboard->copy({{"image/png", pngOf(Qt::red)}});
    poll();
    scheduler.advance(Seconds(1));
    history->waitForSaves();
    const QString png = storeImageName(history->items()[0].id.toString(QUuid::WithoutBraces));
    EXPECT_EQ(modeOf(dir() + "/" + png), 0600);
    history->remove(history->items()[0].id);
    scheduler.advance(Seconds(1));
    history->waitForSaves();
    EXPECT_FALSE(QFile::exists(dir() + "/" + png));

    // Dated in UTC; a day later nothing goes until the next copy, and the store follows it
    EXPECT_EQ(history->items()[0].date.timeSpec(), Qt::UTC);
    scheduler.advance(Seconds(86400 + 120));
    EXPECT_EQ(history->items().size(), 3u);
    pasteboard->copyText("new");
    poll();
    EXPECT_EQ(texts(*history), QStringList({"new"}));
    scheduler.advance(Seconds(1));
    history->waitForSaves();
    EXPECT_EQ(ClipboardStore(dir()).load().items.size(), 1u);
}

TEST_F(ClipboardHistoryTest, DeletingTheStoreCancelsThePendingSave) {
    settings->setClipboardRetentionDays(3);
    auto history = makeHistory();
    pasteboard->copyText("a");
    poll();
    scheduler.advance(Seconds(1));
    history->waitForSaves();
    ASSERT_TRUE(QFileInfo::exists(dir()));

    // Retention to 0: the store goes at once and a save already scheduled does not bring it back
    pasteboard->copyText("b");
    poll();
    ASSERT_TRUE(history->hasPendingSave());
    settings->setClipboardRetentionDays(0);
    history->applyRetention();
    scheduler.advance(Seconds(2));
    EXPECT_FALSE(QFileInfo::exists(dir()));
    EXPECT_EQ(history->items().size(), 2u);

    // History switched off: cleared (which schedules a save), then purged
    settings->setClipboardRetentionDays(3);
    history->applyRetention();
    scheduler.advance(Seconds(1));
    history->waitForSaves();
    ASSERT_TRUE(QFileInfo::exists(dir()));
    history->setEnabled(false);
    history->clear();
    history->purgeStaleStore(false, 0);
    scheduler.advance(Seconds(2));
    history->waitForSaves();
    EXPECT_FALSE(QFileInfo::exists(dir()));
}

TEST_F(ClipboardHistoryTest, AStoreFolderThatIsALinkLosesTheLinkAndNeverWhatItPointsTo) {
    // Given the clipboard folder linked to a folder of someone's files, with a folder of their own
    const QString decoys = home.path() + "/decoys";
    writeBytes(decoys + "/index.json", "mine");
    writeBytes(decoys + "/inner/photo.png", "mine too");
    ::chmod(QFile::encodeName(decoys).constData(), 0755);
    const QDateTime stamp = QFileInfo(decoys + "/index.json").lastModified();
    QDir().mkpath(home.path() + "/Corvane");
    const auto relink = [&] {
        QFile::remove(dir());
        ASSERT_TRUE(QFile::link(decoys, dir()));
    };
    const auto untouched = [&] {
        EXPECT_EQ(readBytes(decoys + "/index.json"), "mine");
        EXPECT_EQ(readBytes(decoys + "/inner/photo.png"), "mine too");
        EXPECT_EQ(modeOf(decoys), 0755);
        EXPECT_EQ(QFileInfo(decoys + "/index.json").lastModified(), stamp);
    };

    // When a start with retention 0 finds no hand-off, then history is switched off, then the
    // retention is set to 0: each removes the store
    relink();
    auto history = makeHistory();
    EXPECT_FALSE(QFileInfo(dir()).isSymLink());
    untouched();
    relink();
    history->setEnabled(false);
    history->purgeStaleStore(false, 0);
    EXPECT_FALSE(QFileInfo(dir()).isSymLink());
    untouched();
    relink();
    history->applyRetention();
    // Then only the link went each time
    EXPECT_FALSE(QFileInfo(dir()).isSymLink());
    untouched();

    // A history kept for days is saved through the link, but a picture the store did not name stays
    writeBytes(decoys + "/photo.png", "a photo");
    relink();
    settings->setClipboardRetentionDays(3);
    history->setEnabled(true);
    history->clear();
    scheduler.advance(Seconds(1));
    history->waitForSaves();
    EXPECT_EQ(readBytes(decoys + "/photo.png"), "a photo");
    EXPECT_EQ(readBytes(decoys + "/inner/photo.png"), "mine too");
}

TEST_F(ClipboardHistoryTest, AFailedSaveIsToldOnceKeptAndRetriedOnATimerUntilItLands) {
    // Given a store whose folder cannot be made: a file is in the way
    settings->setClipboardRetentionDays(3);
    const QString blocker = home.path() + "/blocked";
    writeBytes(blocker, "a file");
    ClipboardHistory history(*settings, scheduler, background, *pasteboard, *platform->runningApplications,
                             ClipboardStore(blocker + "/Clipboard"));
    history.setEnabled(true);
    QSignalSpy told(&history, &ClipboardHistory::saveFailed);
    const auto saveAndSettle = [&](Seconds wait) {
        scheduler.advance(wait);
        history.waitForSaves();
        QCoreApplication::processEvents();
    };

    // When two copies are saved
    for (const char* text : {"a", "b"}) {
        pasteboard->copyText(text);
        poll();
        saveAndSettle(Seconds(1));
    }
    // Then both saves failed, the user heard of it once with the reason, and the copies stay
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(blocker + "/Clipboard: Not a directory"))
        << qPrintable(told.at(0).at(0).toString());
    EXPECT_EQ(history.items().size(), 2u);

    // When the folder can be made again, without another copy: the retry lands the history
    QFile::remove(blocker);
    saveAndSettle(ClipboardSaver::retryInterval);
    const auto records = decodeClipboardIndex(readBytes(blocker + "/Clipboard/index.json"), nullptr);
    ASSERT_TRUE(records);
    EXPECT_EQ(records->size(), 2u);
    EXPECT_EQ(told.count(), 1);

    // A failure heard only after the store was deleted is not told, and brings nothing back
    QDir(blocker).removeRecursively();
    writeBytes(blocker, "a file");
    background.setMode(ManualExecutor::Mode::stepped);
    pasteboard->copyText("c");
    poll();
    scheduler.advance(Seconds(1));
    ASSERT_TRUE(background.runNextWork());
    settings->setClipboardRetentionDays(0);
    history.applyRetention();
    background.deliverAll();
    background.setMode(ManualExecutor::Mode::inlineMode);
    QFile::remove(blocker);
    saveAndSettle(ClipboardSaver::retryInterval);
    EXPECT_FALSE(QFileInfo::exists(blocker + "/Clipboard"));
    EXPECT_EQ(told.count(), 1);
}

TEST_F(ClipboardHistoryTest, APictureThatCannotBeWrittenFailsTheSaveUntilARetryWritesIt) {
    // Given a history kept for days, saved with a text
    settings->setClipboardRetentionDays(3);
    auto history = makeHistory();
    QSignalSpy told(history.get(), &ClipboardHistory::saveFailed);
    const auto settle = [&](Seconds wait) {
        scheduler.advance(wait);
        history->waitForSaves();
        QCoreApplication::processEvents();
    };
    pasteboard->copyText("text");
    poll();
    settle(Seconds(1));

    // When a picture is copied whose file cannot be written: its name links to a folder under a file
    pasteboard->copy({{"image/png", pngOf(Qt::red)}});
    poll();
    const QString name = storeImageName(history->items()[0].id.toString(QUuid::WithoutBraces));
    writeBytes(home.path() + "/blocker", "a file");
    ASSERT_TRUE(QFile::link(home.path() + "/blocker/picture.png", dir() + "/" + name));
    settle(Seconds(1));

    // Then the save failed, told once with the picture's name, and the index still holds the text
    // alone rather than naming a picture that is not there
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(name)) << qPrintable(told.at(0).at(0).toString());
    const auto before = decodeClipboardIndex(readBytes(dir() + "/index.json"), nullptr);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->size(), 1u);

    // When the file can be written again: the retry writes the picture and the index with it
    ASSERT_TRUE(QFile::remove(dir() + "/" + name));
    settle(ClipboardSaver::retryInterval);
    const ClipboardStore::Loaded loaded = ClipboardStore(dir()).load();
    ASSERT_EQ(loaded.items.size(), 2u);
    EXPECT_EQ(loaded.items[0].kind, ClipItem::Kind::image);
    EXPECT_EQ(told.count(), 1);
}

TEST_F(ClipboardHistoryTest, AHistoryTooLargeToSaveIsToldOnceAndTriedAgainOnlyOnceItChanges) {
    // Given a store whose index may hold 1 KiB, and a history that fits
    settings->setClipboardRetentionDays(3);
    const QString folder = home.path() + "/Clipboard";
    ClipboardHistory history(*settings, scheduler, background, *pasteboard, *platform->runningApplications,
                             ClipboardStore(folder, 1024));
    history.setEnabled(true);
    QSignalSpy told(&history, &ClipboardHistory::saveFailed);
    const auto copy = [&](const QString& text) {
        pasteboard->copyText(text);
        poll();
        scheduler.advance(Seconds(1));
        history.waitForSaves();
        QCoreApplication::processEvents();
    };
    copy("short");

    // When a copy makes it too large: told once, and not tried again while it stays the same
    copy(QString(2000, 'x'));
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains("larger than 1024 bytes"))
        << qPrintable(told.at(0).at(0).toString());
    const int saves = background.postedCount();
    scheduler.advance(ClipboardSaver::retryInterval * 3);
    EXPECT_EQ(background.postedCount(), saves);

    // Another copy is tried, and not told again; once the large entry goes, the history lands
    copy("another");
    EXPECT_EQ(background.postedCount(), saves + 1);
    history.remove(history.items()[1].id);
    scheduler.advance(Seconds(1));
    history.waitForSaves();
    QCoreApplication::processEvents();
    EXPECT_EQ(told.count(), 1);
    const auto records = decodeClipboardIndex(readBytes(folder + "/index.json"), nullptr);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ((*records)[0].text, "another");
}

TEST_F(ClipboardHistoryTest, AQuickRelaunchTakesTheHistoryOverOnlyWithinTheHandOffWindow) {
    for (double age : {179.0, 181.0, -60.0}) {
        SCOPED_TRACE(age);
        {
            auto history = makeHistory();
            pasteboard->copyText("kept");
            poll();
            settings->setClipboardRetentionDays(0);
            history->flushForTermination();
        }
        ASSERT_TRUE(QFile::exists(dir() + "/handoff"));
        EXPECT_EQ(modeOf(dir() + "/handoff"), 0600);
        // A hand-off stamped in the future (the clock was set back) counts as stale
        if (age < 0)
            writePrivateMarker(dir() + "/handoff", scheduler.wallNow().addSecs(60));
        scheduler.advance(Seconds(std::max(age, 0.0)));

        auto relaunched =
            std::make_unique<ClipboardHistory>(*settings, scheduler, background, *pasteboard,
                                               *platform->runningApplications, ClipboardStore(dir()));
        relaunched->purgeStaleStore(true, 0);
        relaunched->setEnabled(true);
        EXPECT_EQ(relaunched->items().size(), age == 179.0 ? 1u : 0u);
        // Taken over or not, nothing stays on disk
        EXPECT_FALSE(QFileInfo::exists(dir()));
    }
}

TEST_F(ClipboardHistoryTest, TheIndexReaderRejectsDamageAndNamesOutsideTheStore) {
    const QString id = "0F8FAD5B-D9CB-469F-A165-70867728950E";
    EXPECT_TRUE(isStoreImageName(id + ".png"));
    for (const char* bad :
         {"../0F8FAD5B-D9CB-469F-A165-70867728950E.png", "/etc/passwd", "x.png",
          "0f8fad5b-d9cb-469f-a165-70867728950e.png", "0F8FAD5B-D9CB-469F-A165-70867728950E.png/"})
        EXPECT_FALSE(isStoreImageName(bad)) << bad;

    // Deep nesting is damage, not a stack to blow; a record without its type rejects all
    EXPECT_FALSE(decodeClipboardIndex(QByteArray(100000, '[') + QByteArray(100000, ']')));
    EXPECT_FALSE(decodeClipboardIndex(R"([{"id":")" + id.toUtf8() + R"(","date":1}])"));
    // An unknown type with text is text; an image record naming another folder is skipped
    const auto records =
        decodeClipboardIndex(R"([{"id":")" + id.toUtf8() +
                             R"(","date":1,"type":"note","text":"t","source":null},)"
                             R"({"id":")" +
                             id.toUtf8() + R"(","date":2,"type":"image","image":"../x.png"}])");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    const ClipboardStore store(dir());
    EXPECT_EQ(store.restoreItem((*records)[0])->text, "t");
    EXPECT_FALSE(store.restoreItem((*records)[1]));
}

TEST_F(ClipboardHistoryTest, AStoreHoldingMoreThanALoweredLimitLoadsWholeAndIsCutAtTheNextCopy) {
    settings->setClipboardRetentionDays(1);
    settings->setClipboardLimit(20);
    {
        auto history = makeHistory();
        for (int i = 0; i < 12; ++i) {
            pasteboard->copyText(QStringLiteral("kept %1").arg(i));
            poll();
        }
        history->flushForTermination();
    }
    settings->setClipboardLimit(10);
    auto relaunched = makeHistory();
    ASSERT_EQ(relaunched->items().size(), 12u);
    scheduler.advance(Seconds(5));
    relaunched->waitForSaves();
    EXPECT_EQ(ClipboardStore(dir()).load().items.size(), 12u);
    pasteboard->copyText("new");
    poll();
    ASSERT_EQ(relaunched->items().size(), 10u);
    EXPECT_EQ(texts(*relaunched).front(), "new");
    EXPECT_EQ(texts(*relaunched).back(), "kept 3");
    scheduler.advance(Seconds(5));
    relaunched->waitForSaves();
    EXPECT_EQ(ClipboardStore(dir()).load().items.size(), 10u);
}

TEST_F(ClipboardHistoryTest, ReportedCopiesAreReadOneAtATimeTheNewestWaitingAndNeverHeldBackLong) {
    pasteboard->reportChanges = true;
    pasteboard->holdReads = true;
    auto history = makeHistory();
    platform->fakeRunningApplications->apps[7] = RunningApplication{7, QString("editor"), "Editor"};
    platform->fakeRunningApplications->apps[8] = RunningApplication{8, QString("vault"), "Vault"};
    platform->fakeRunningApplications->apps[9] = RunningApplication{9, QString("notes"), "Notes"};
    settings->setExcludedBundleIDs({"vault"});
    platform->fakeRunningApplications->frontmost = 7;

    // Three copies while the first is read: the newest waits in place of the second; the program
    // in front at each copy is its source, whoever is in front when the read ends
    pasteboard->copyText("first");
    pasteboard->copyText("second");
    platform->fakeRunningApplications->frontmost = 9;
    pasteboard->copyText("third");
    ASSERT_EQ(pasteboard->heldReads(), 1u);
    EXPECT_TRUE(history->hasWaitingCopy());
    platform->fakeRunningApplications->frontmost = 8;
    pasteboard->answerHeldRead(0);
    EXPECT_EQ(texts(*history), QStringList({"first"}));
    ASSERT_EQ(pasteboard->heldReads(), 1u);
    pasteboard->answerHeldRead(0);
    EXPECT_EQ(texts(*history), QStringList({"third", "first"}));
    EXPECT_EQ(history->items()[0].sourceBundleID, QString("notes"));
    EXPECT_EQ(history->items()[1].sourceBundleID, QString("editor"));

    // A read that does not end soon after a newer copy came is given up for the newer one; one
    // that never answers costs itself
    platform->fakeRunningApplications->frontmost = 7;
    pasteboard->copyText("trickled");
    pasteboard->copyText("newest");
    scheduler.advance(ClipboardHistory::staleReadGrace);
    ASSERT_EQ(pasteboard->heldReads(), 1u);
    pasteboard->answerHeldRead(0);
    EXPECT_EQ(texts(*history), QStringList({"newest", "third", "first"}));
    pasteboard->copyText("silent");
    pasteboard->failHeldRead(0);
    EXPECT_EQ(history->readsInFlight(), 0u);

    // Copied while an excluded program is in front: not even read
    platform->fakeRunningApplications->frontmost = 8;
    pasteboard->copyText("secret");
    EXPECT_EQ(pasteboard->heldReads(), 0u);

    // Our own write is never recorded, even by a read begun before it that meets it
    platform->fakeRunningApplications->frontmost = 7;
    pasteboard->copyText("fourth");
    history->copyToPasteboard(history->items()[1]);
    pasteboard->answerHeldRead(0, true);
    EXPECT_EQ(texts(*history), QStringList({"third", "newest", "first"}));

    // Switched off, a read in flight ends and records nothing
    pasteboard->copyText("late");
    history->setEnabled(false);
    EXPECT_EQ(pasteboard->heldReads(), 0u);
    EXPECT_EQ(history->items().size(), 3u);
}

TEST_F(ClipboardHistoryTest, NothingOfAnExcludedCopyOrOurOwnWriteIsReadForACopyBeforeIt) {
    pasteboard->reportChanges = true;
    pasteboard->holdReads = true;
    auto history = makeHistory();
    FakeRunningApplications& apps = *platform->fakeRunningApplications;
    apps.apps[7] = RunningApplication{7, QString("editor"), "Editor"};
    apps.apps[8] = RunningApplication{8, QString("vault"), "Vault"};
    settings->setExcludedBundleIDs({"vault"});

    // Copied in the vault while one copy is read and another waits: the read not answered yet
    // and the waiting one would both meet the secret
    apps.frontmost = 7;
    pasteboard->copyText("first");
    pasteboard->copyText("second");
    apps.frontmost = 8;
    pasteboard->copyText("secret");
    EXPECT_FALSE(history->hasWaitingCopy());
    while (pasteboard->heldReads() > 0)
        pasteboard->answerHeldRead(0, true);
    EXPECT_TRUE(history->items().empty());

    // Our own write while one copy is read and another waits: the waiting one is gone with what
    // it copied; the read under way records what it met before the write
    apps.frontmost = 7;
    pasteboard->copyText("kept");
    pasteboard->answerHeldRead(0);
    pasteboard->copyText("third");
    pasteboard->copyText("fourth");
    history->copyToPasteboard(history->items()[0]);
    EXPECT_FALSE(history->hasWaitingCopy());
    pasteboard->answerHeldRead(0);
    EXPECT_EQ(pasteboard->heldReads(), 0u);
    EXPECT_EQ(texts(*history), QStringList({"third", "kept"}));
}

TEST_F(ClipboardHistoryTest, APictureKeepsOnlyItsPixelsAndOneLargerThanTheBoundsIsNotRecorded) {
    auto history = makeHistory();
    // A pixel carrying a megabyte of something else costs what a pixel costs, and is that pixel
    const QByteArray pixel = pngOf(Qt::red, QSize(1, 1));
    pasteboard->copy({{"image/png", withExtraChunk(pixel, 1 << 20)}});
    poll();
    ASSERT_EQ(history->items().size(), 1u);
    EXPECT_LT(history->items()[0].imageData.size(), 1000);
    EXPECT_EQ(history->items()[0].fullImage().pixel(0, 0), QColor(Qt::red).rgb());

    // The same pixel carrying text of its own is the same picture, and keeps none of the text
    QImage red(1, 1, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QString noise;
    quint32 seed = 1;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += QChar(0x21 + int((seed >> 16) % 90));
    }
    red.setText("Comment", noise);
    QByteArray withText;
    QBuffer textBuffer(&withText);
    textBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(red.save(&textBuffer, "PNG"));
    ASSERT_GT(withText.size(), 50000);
    pasteboard->copy({{"image/png", withText}});
    poll();
    ASSERT_EQ(history->items().size(), 1u);
    EXPECT_LT(history->items()[0].imageData.size(), 1000);

    // A large opaque picture costs its decoded pixels (16 MiB) once, not again for its digest
    QByteArray largePng;
    {
        QImage large(2048, 2048, QImage::Format_RGB32);
        large.fill(Qt::darkCyan);
        QBuffer buffer(&largePng);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(large.save(&buffer, "PNG"));
    }
    {
        const PeakMemoryGrowth growth;
        pasteboard->copy({{"image/png", largePng}});
        poll();
        ASSERT_EQ(history->items().size(), 2u);
        EXPECT_LT(growth.bytes(), qint64(24) << 20);
    }
    // Its digest is that of the same pixels with an alpha channel
    EXPECT_EQ(history->items()[0].imageDigest,
              imageDigest(QImage::fromData(largePng).convertToFormat(QImage::Format_ARGB32)));
    history->clear();
    pasteboard->copy({{"image/png", withText}});
    poll();

    // More pixels than a picture may have (1 byte each here, 32 MB decoded, which reading the
    // header's size spares; the image library's own limit, lower in some versions, is lifted
    // meanwhile), or more bytes than it may come in: stays on the clipboard only
    QByteArray hugePng;
    {
        QImage huge(8192, 4097, QImage::Format_Grayscale8);
        ASSERT_GT(qint64(huge.width()) * huge.height(), largestRecordedPicturePixels);
        huge.fill(255);
        QBuffer buffer(&hugePng);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(huge.save(&buffer, "PNG"));
    }
    const int libraryLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    const PeakMemoryGrowth growth;
    pasteboard->copy({{"image/png", hugePng}});
    poll();
    EXPECT_LT(growth.bytes(), qint64(16) << 20);
    QImageReader::setAllocationLimit(libraryLimit);
    pasteboard->copy(
        {{"image/png", pngOf(Qt::blue, QSize(1, 1)) + QByteArray(largestRecordedPictureBytes, 0)}});
    poll();
    EXPECT_EQ(history->items().size(), 1u);
}

TEST_F(ClipboardHistoryTest, AFileListIsParsedOffTheMainThreadAndOneLongerThanTheBoundsIsRefusedWhole) {
    pasteboard->reportChanges = true;
    ManualExecutor work(ManualExecutor::Mode::stepped);
    ClipboardHistory history(*settings, scheduler, background, *pasteboard, *platform->runningApplications,
                             ClipboardStore(dir()), &work);
    history.setEnabled(true);

    // Switched off while it is parsed: it never lands
    pasteboard->copy({{"text/uri-list", uriList(3)}});
    EXPECT_EQ(work.pendingWork(), 1);
    history.setEnabled(false);
    work.drain();
    history.setEnabled(true);
    EXPECT_TRUE(history.items().empty());

    // The longest list kept is kept whole; one file more, or more bytes, and nothing is
    pasteboard->copy({{"text/uri-list", uriList(int(largestRecordedFileCount))}});
    EXPECT_TRUE(history.items().empty());
    work.drain();
    ASSERT_EQ(history.items().size(), 1u);
    EXPECT_EQ(history.items()[0].files.size(), largestRecordedFileCount);
    EXPECT_EQ(history.items()[0].files.first(), "/tmp/copied/file 0.txt");
    const QUuid kept = history.items()[0].id;
    for (const QByteArray& list : {uriList(int(largestRecordedFileCount) + 1),
                                   uriList(2, QByteArray(largestRecordedFileListBytes, 'x'))}) {
        pasteboard->copy({{"text/uri-list", list}, {"text/plain", "the paths as text"}});
        work.drain();
        ASSERT_EQ(history.items().size(), 1u);
        EXPECT_EQ(history.items()[0].id, kept);
    }

    // Within the bytes, millions of empty or one-letter lines cost little more than the list
    const QByteArray empty(largestRecordedFileListBytes, '\n');
    const QByteArray letters = QByteArray("a\n").repeated(largestRecordedFileListBytes / 2);
    const PeakMemoryGrowth growth;
    for (const QByteArray& list : {empty, letters}) {
        pasteboard->copy({{"text/uri-list", list}});
        work.drain();
    }
    EXPECT_LT(growth.bytes(), qint64(32) << 20);
    EXPECT_EQ(history.items().size(), 1u);

    // A list read before an excluded program copies met its own copy: it is still recorded
    FakeRunningApplications& apps = *platform->fakeRunningApplications;
    apps.apps[8] = RunningApplication{8, QString("vault"), "Vault"};
    settings->setExcludedBundleIDs({"vault"});
    pasteboard->copy({{"text/uri-list", uriList(2)}});
    apps.frontmost = 8;
    pasteboard->copyText("secret");
    work.drain();
    ASSERT_EQ(history.items().size(), 2u);
    EXPECT_EQ(history.items()[0].files.size(), 2);
}

TEST_F(ClipboardHistoryTest, PicturesAreDecodedOffTheMainThreadWithTheStoredOnesTheyAreComparedWithInOrder) {
    settings->setClipboardRetentionDays(1);
    pasteboard->reportChanges = true;
    {
        auto first = makeHistory();
        pasteboard->copy({{"image/png", pngOf(Qt::red)}});
        first->flushForTermination();
    }
    ManualExecutor pictures(ManualExecutor::Mode::stepped);
    ClipboardHistory history(*settings, scheduler, background, *pasteboard, *platform->runningApplications,
                             ClipboardStore(dir()), &pictures);
    history.setEnabled(true);
    ASSERT_EQ(history.items().size(), 1u);
    ASSERT_TRUE(history.items()[0].imageDigest.isEmpty());

    // A picture of the stored one's size, then text: neither is taken until the picture is
    // decoded elsewhere, and then both are, in the order they were copied
    pasteboard->copy({{"image/png", pngOf(Qt::blue)}});
    pasteboard->copyText("after");
    EXPECT_EQ(history.items().size(), 1u);
    ASSERT_TRUE(pictures.runNextWork());
    EXPECT_EQ(history.items().size(), 1u);
    pictures.deliverAll();
    ASSERT_EQ(texts(history).size(), 3);
    EXPECT_EQ(history.items()[0].searchText(), QString("after"));
    EXPECT_EQ(history.items()[1].imageDigest, imageDigest(QImage::fromData(pngOf(Qt::blue))));
    // The stored picture's digest was taken there too, and kept
    EXPECT_EQ(history.items()[2].imageDigest, imageDigest(QImage::fromData(pngOf(Qt::red))));
}

TEST_F(ClipboardHistoryTest, ADamagedIndexGoesAsideWithItsPicturesAndOneThatCannotBeReadIsNeverSavedOver) {
    settings->setClipboardRetentionDays(1);
    const QString id = "0F8FAD5B-D9CB-469F-A165-70867728950E";
    const QByteArray good = R"([{"id":")" + id.toUtf8() + R"(","date":1,"type":"text","text":"kept"}])";
    const QByteArray damaged[] = {good.left(good.size() - 3),
                                  QByteArray(good).replace("kept", "k\xff"
                                                                   "pt"),
                                  QByteArray(good).replace(R"("date":1)", R"("date":"1")")};
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        QDir(dir()).removeRecursively();
        writeBytes(dir() + "/index.json", bytes);
        writeBytes(dir() + "/" + id + ".png", pngOf(Qt::red));
        // A save a kill interrupted left a temporary file that may hold copied text
        writeBytes(dir() + "/index.json.corvane-99999999-abc123", "[]");
        ::chmod(QFile::encodeName(dir() + "/index.json.corvane-99999999-abc123").constData(), 0600);
        auto history = makeHistory();
        EXPECT_TRUE(history->items().empty());
        EXPECT_FALSE(QFile::exists(dir() + "/index.json.corvane-99999999-abc123"));
        const std::optional<QString> notice = history->takeStoreNotice();
        ASSERT_TRUE(notice);
        EXPECT_FALSE(history->takeStoreNotice());
        const QStringList aside = QDir(dir()).entryList({"damaged-*"}, QDir::Dirs);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_TRUE(notice->contains(aside[0]));
        EXPECT_EQ(readBytes(dir() + "/" + aside[0] + "/index.json"), bytes);
        EXPECT_TRUE(QFile::exists(dir() + "/" + aside[0] + "/" + id + ".png"));

        pasteboard->copyText("new");
        poll();
        history->flushForTermination();
        EXPECT_EQ(ClipboardStore(dir()).load().items.size(), 1u);
        EXPECT_EQ(readBytes(dir() + "/" + aside[0] + "/index.json"), bytes);
    }

    // A folder where the index should be cannot be read: left as it is, nothing saved over it
    QDir(dir()).removeRecursively();
    QDir().mkpath(dir() + "/index.json");
    writeBytes(dir() + "/" + id + ".png", pngOf(Qt::red));
    auto history = makeHistory();
    EXPECT_TRUE(history->takeStoreNotice());
    pasteboard->copyText("new");
    poll();
    scheduler.advance(Seconds(5));
    history->flushForTermination();
    EXPECT_TRUE(QFileInfo(dir() + "/index.json").isDir());
    EXPECT_TRUE(QFile::exists(dir() + "/" + id + ".png"));

    // A damaged index that cannot go aside (root ignores permissions: every name it could take
    // is in use) stays as it is, and nothing is saved over it
    history.reset();
    QDir(dir()).removeRecursively();
    writeBytes(dir() + "/index.json", damaged[0]);
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second <= 2; ++second)
        for (int attempt = 0; attempt < 100; ++attempt)
            QDir().mkpath(dir() + "/damaged-" + now.addSecs(second).toString("yyyyMMdd-hhmmss") +
                          (attempt == 0 ? QString() : QStringLiteral("-%1").arg(attempt)));
    history = makeHistory();
    EXPECT_TRUE(history->takeStoreNotice());
    pasteboard->copyText("new");
    poll();
    scheduler.advance(Seconds(5));
    history->flushForTermination();
    EXPECT_EQ(readBytes(dir() + "/index.json"), damaged[0]);
}

TEST_F(ClipboardHistoryTest, AnEmptiedHistoryReachesTheDiskAtQuitOnlyWhenEntriesAreKeptForDays) {
    settings->setClipboardRetentionDays(1);
    {
        auto history = makeHistory();
        pasteboard->copy({{"image/png", pngOf(Qt::red)}});
        poll();
        history->flushForTermination();
        ASSERT_EQ(QDir(dir()).entryList({"*.png"}).size(), 1);
        // Read back, the picture is the same content as the same copy made again
        ClipboardHistory relaunched(*settings, scheduler, background, *pasteboard,
                                    *platform->runningApplications, ClipboardStore(dir()));
        relaunched.setEnabled(true);
        ASSERT_EQ(relaunched.items().size(), 1u);
        EXPECT_EQ(relaunched.items()[0].imageSize, QSize(4, 3));
        pasteboard->copy({{"image/png", pngOf(Qt::red)}});
        poll();
        EXPECT_EQ(relaunched.items().size(), 1u);
        pasteboard->copy({{"image/png", pngOf(Qt::blue)}});
        poll();
        EXPECT_EQ(relaunched.items().size(), 2u);
        relaunched.setEnabled(false);
        relaunched.cancelPendingSave();
        // Cleared, and the quit comes before the save would
        history->clear();
        history->flushForTermination();
    }
    EXPECT_EQ(readBytes(dir() + "/index.json"), "[]");
    EXPECT_TRUE(QDir(dir()).entryList({"*.png"}).isEmpty());

    // Kept only while running, or history off: nothing written at quit
    for (bool enabled : {true, false}) {
        QDir(dir()).removeRecursively();
        settings->setClipboardRetentionDays(0);
        auto history = makeHistory();
        pasteboard->copyText("x");
        poll();
        history->clear();
        settings->setClipboardEnabled(enabled);
        history->flushForTermination();
        EXPECT_FALSE(QFileInfo::exists(dir()));
        settings->setClipboardEnabled(true);
    }
}

TEST_F(ClipboardHistoryTest, AClearedHistoryWhoseSaveFailedIsSavedAtQuit) {
    settings->setClipboardRetentionDays(3);
    // The failure heard on the main thread (its retry waiting), or not heard yet
    for (const bool heard : {true, false}) {
        SCOPED_TRACE(heard);
        // Given a history saved with an entry
        QDir(dir()).removeRecursively();
        auto history = makeHistory();
        pasteboard->copyText("cleared");
        poll();
        scheduler.advance(Seconds(1));
        history->waitForSaves();
        ASSERT_EQ(ClipboardStore(dir()).load().items.size(), 1u);

        // When it is cleared and that save fails (a file in the folder's place), and the quit
        // comes once the folder is back
        const QString away = home.path() + "/away";
        ASSERT_TRUE(QDir().rename(dir(), away));
        writeBytes(dir(), "a file");
        if (!heard)
            background.setMode(ManualExecutor::Mode::stepped);
        history->clear();
        scheduler.advance(Seconds(1));
        if (!heard) {
            ASSERT_TRUE(background.runNextWork());
        }
        ASSERT_TRUE(QFile::remove(dir()));
        ASSERT_TRUE(QDir().rename(away, dir()));
        history->flushForTermination();
        background.drain();
        background.setMode(ManualExecutor::Mode::inlineMode);

        // Then the store holds the empty list: the cleared entry does not come back
        EXPECT_EQ(readBytes(dir() + "/index.json").toStdString(), "[]");
    }
}

TEST_F(ClipboardHistoryTest,
       CopyingWithoutPauseIsSavedWithinTheMaximumWaitAndOldEntriesGoAtTheNextLoadOrRetentionChange) {
    settings->setClipboardRetentionDays(2);
    auto history = makeHistory();
    // A copy every 0.6 s keeps postponing the one-second save, but not past the maximum wait
    for (int i = 0; i < 6; ++i) {
        pasteboard->copyText(QString::number(i));
        poll();
        scheduler.advance(Seconds(0.1));
    }
    history->waitForSaves();
    EXPECT_GE(ClipboardStore(dir()).load().items.size(), 4u);

    // Entries younger than the retention stay through a reload; older ones stay until the
    // retention changes (or the next copy)
    scheduler.advance(Seconds(2 * 86400 - 3600));
    history->flushForTermination();
    EXPECT_EQ(history->items().size(), 6u);
    auto relaunched = std::make_unique<ClipboardHistory>(
        *settings, scheduler, background, *pasteboard, *platform->runningApplications, ClipboardStore(dir()));
    relaunched->setEnabled(true);
    EXPECT_EQ(relaunched->items().size(), 6u);
    scheduler.advance(Seconds(3600 + 120));
    EXPECT_EQ(relaunched->items().size(), 6u);
    {
        // The next start drops them as it loads, and saves the store so
        ClipboardHistory next(*settings, scheduler, background, *pasteboard, *platform->runningApplications,
                              ClipboardStore(dir()));
        next.setEnabled(true);
        EXPECT_TRUE(next.items().empty());
        scheduler.advance(Seconds(2));
        next.waitForSaves();
        EXPECT_TRUE(ClipboardStore(dir()).load().items.empty());
    }
    settings->setClipboardRetentionDays(1);
    relaunched->applyRetention();
    EXPECT_TRUE(relaunched->items().empty());
}

} // namespace
} // namespace corvane::testing
