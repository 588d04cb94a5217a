#include "shelf/ShelfListing.h"

#include "shelf/FolderIndex.h"
#include "shelf/NaturalNameComparer.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace corvane;

namespace {

QDateTime day(int n) {
    return QDateTime(QDate(2024, 1, 1).addDays(n), QTime(12, 0));
}

void makeFile(const QString& path, const QByteArray& bytes = "x", std::optional<QDateTime> modified = {}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    // Written bytes reach the file when flushed, which would stamp the time again.
    file.flush();
    if (modified)
        file.setFileTime(*modified, QFileDevice::FileModificationTime);
}

std::vector<QString> names(const std::vector<ShelfFile>& files) {
    std::vector<QString> result;
    for (const ShelfFile& file : files)
        result.push_back(file.name);
    return result;
}

ShelfFile named(const QString& name, QDateTime date = day(0)) {
    ShelfFile file;
    file.url = QUrl::fromLocalFile(QStringLiteral("/x/") + name);
    file.name = name;
    file.date = std::move(date);
    return file;
}

} // namespace

TEST(NaturalNameComparer, NumbersCompareByValueWhateverTheLocale) {
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Swedish)}) {
        SCOPED_TRACE(locale.name().toStdString());
        const NaturalNameComparer less(locale);
        EXPECT_TRUE(less(u"file2", u"file10"));
        EXPECT_FALSE(less(u"file10", u"file2"));
        EXPECT_TRUE(less(u"IMG_9.png", u"IMG_10.png"));
        EXPECT_TRUE(less(u"v1.9", u"v1.10"));
        // Leading zeros do not make a number larger; long numbers do not overflow.
        EXPECT_TRUE(less(u"track007", u"track12"));
        EXPECT_TRUE(less(u"n99999999999999999999", u"n100000000000000000000"));
        // Letters compare without regard to case; a name that is a prefix of another comes first.
        EXPECT_TRUE(less(u"apple", u"Banana"));
        EXPECT_TRUE(less(u"Apple", u"banana"));
        EXPECT_EQ(less.compare(u"README", u"readme"), 0);
        EXPECT_TRUE(less(u"file", u"file1"));
    }
}

TEST(ShelfListing, SortingByNameKeepsTheListingOrderForNamesItCannotTellApart) {
    std::vector<ShelfFile> files{named(QStringLiteral("file10")), named(QStringLiteral("Notes")),
                                 named(QStringLiteral("file2")), named(QStringLiteral("notes"))};
    QLocale::setDefault(QLocale::c());
    sortShelfFiles(files, ShelfSort::name);
    QLocale::setDefault(QLocale::system());
    EXPECT_EQ(names(files), (std::vector<QString>{QStringLiteral("file2"), QStringLiteral("file10"),
                                                  QStringLiteral("Notes"), QStringLiteral("notes")}));
}

TEST(ShelfListing, SortingByDatePutsTheLaterFirstAndKeepsTiesInListingOrder) {
    std::vector<ShelfFile> files{named(QStringLiteral("a"), day(1)), named(QStringLiteral("b"), day(3)),
                                 named(QStringLiteral("c"), day(1)), named(QStringLiteral("d"), day(2))};
    sortShelfFiles(files, ShelfSort::newest);
    EXPECT_EQ(names(files), (std::vector<QString>{QStringLiteral("b"), QStringLiteral("d"),
                                                  QStringLiteral("a"), QStringLiteral("c")}));
}

TEST(ShelfListing, AFolderListsItsVisibleEntriesOneLevelDeepWithWhatTheFileSystemSays) {
    // Given a folder with a file, a hidden file, a sub-folder with content and a dangling link
    QTemporaryDir temp;
    const QDir folder(temp.path());
    makeFile(folder.filePath(QStringLiteral("report.txt")), "12345", day(5));
    makeFile(folder.filePath(QStringLiteral(".hidden")));
    folder.mkpath(QStringLiteral("Photos/inner"));
    makeFile(folder.filePath(QStringLiteral("Photos/deep.txt")));
    QFile::link(folder.filePath(QStringLiteral("nowhere")), folder.filePath(QStringLiteral("dangling")));

    // When it is listed
    const std::vector<ShelfFile> files = listFolder(temp.path(), ShelfSort::name);

    // Then the visible entries of the first level are listed, by name
    ASSERT_EQ(names(files), (std::vector<QString>{QStringLiteral("dangling"), QStringLiteral("Photos"),
                                                  QStringLiteral("report.txt")}));
    const ShelfFile& link = files[0];
    const ShelfFile& photos = files[1];
    const ShelfFile& report = files[2];
    EXPECT_TRUE(photos.isDirectory);
    EXPECT_FALSE(photos.size) << "a folder has no file size";
    EXPECT_FALSE(report.isDirectory);
    EXPECT_EQ(report.size, 5);
    EXPECT_EQ(report.date, day(5)) << "no date of arrival is kept, so the modification date stands";
    EXPECT_TRUE(report.exists);
    EXPECT_EQ(report.id(), folder.filePath(QStringLiteral("report.txt")));
    EXPECT_FALSE(link.exists);
    EXPECT_EQ(link.date, ShelfFile::distantPast());
}

// A name that is not UTF-8 reads with a stand-in for its odd byte, and the path made of that
// text is another one, here another file's: the entry is listed, and reached by nothing.
TEST(ShelfListing, ANameThatIsNotTextIsListedButCannotBeReached) {
    QTemporaryDir temp;
    const QByteArray base = QFile::encodeName(temp.path()) + '/';
    const QByteArray odd[] = {"odd-\xff.txt", "odd-\xef\xbf\xbd.txt"};
    // Removed by name as stored: the folder's own clean-up reads names as text.
    const auto removeOdd = qScopeGuard([&] {
        for (const QByteArray& name : odd)
            ::unlink((base + name).constData());
    });
    for (const QByteArray& name : odd) {
        const int fd = ::open((base + name).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const std::vector<ShelfFile> listed = listFolder(temp.path(), ShelfSort::name);
    FolderIndex index(temp.path(), ShelfSort::name);
    for (const std::vector<ShelfFile>& files : {listed, index.shown()}) {
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[0].name, files[1].name);
        EXPECT_NE(files[0].exists, files[1].exists) << "only the name that is text is reached";
    }
}

TEST(ShelfListing, AFolderThatCannotBeListedGivesAnEmptyList) {
    QTemporaryDir temp;
    makeFile(temp.filePath(QStringLiteral("plain")));
    EXPECT_TRUE(listFolder(temp.filePath(QStringLiteral("missing")), ShelfSort::newest).empty());
    EXPECT_TRUE(listFolder(temp.filePath(QStringLiteral("plain")), ShelfSort::newest).empty());
    // A relative or empty path names no folder of the user's, not the working folder.
    EXPECT_TRUE(listFolder(QString(), ShelfSort::newest).empty());
    EXPECT_TRUE(listFolder(QStringLiteral("."), ShelfSort::newest).empty());
}

TEST(ShelfListing, ALargeFolderKeepsTheFirstThreeHundredOfItsOrder) {
    // Given 350 files, file1 oldest ... file350 newest
    QTemporaryDir temp;
    for (int i = 1; i <= 350; ++i)
        makeFile(temp.filePath(QStringLiteral("file%1").arg(i)), "x", day(0).addSecs(i * 60));

    // By date: the 300 newest, newest first
    const std::vector<ShelfFile> newest = listFolder(temp.path(), ShelfSort::newest);
    ASSERT_EQ(newest.size(), 300u);
    EXPECT_EQ(newest.front().name, QStringLiteral("file350"));
    EXPECT_EQ(newest.back().name, QStringLiteral("file51"));

    // By name: the first 300 in natural order
    const std::vector<ShelfFile> byName = listFolder(temp.path(), ShelfSort::name);
    ASSERT_EQ(byName.size(), 300u);
    EXPECT_EQ(byName.front().name, QStringLiteral("file1"));
    EXPECT_EQ(byName[1].name, QStringLiteral("file2"));
    EXPECT_EQ(byName.back().name, QStringLiteral("file300"));
}

TEST(ShelfListing, FiftyThousandFilesKeepExactlyTheFirstThreeHundredOfAStableSortTiesIncluded) {
    // Given 50,000 files over seven dates, their names equal in pairs but for case
    QTemporaryDir temp;
    for (int i = 0; i < 50000; ++i) {
        const QString name = QStringLiteral("%1-%2.txt").arg(i % 2 ? "Photo" : "photo").arg(i / 2 % 400);
        const QByteArray path = QFile::encodeName(temp.filePath(name + QString::number(i / 800)));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        const timespec stamp{1700000000 + (i % 7) * 3600, 0};
        const timespec times[2] = {stamp, stamp};
        ::futimens(fd, times);
        ::close(fd);
    }
    // The whole folder as the file system lists it, each entry as a QFileInfo reads it
    std::vector<ShelfFile> whole;
    for (const QFileInfo& info : QDir(temp.path()).entryInfoList(QDir::Files, QDir::Unsorted)) {
        ShelfFile file;
        file.url = QUrl::fromLocalFile(info.filePath());
        file.name = info.fileName();
        file.date = info.lastModified();
        whole.push_back(file);
    }
    ASSERT_EQ(whole.size(), 50000u);

    for (const ShelfSort sort : {ShelfSort::newest, ShelfSort::name}) {
        std::vector<ShelfFile> expected = whole;
        sortShelfFiles(expected, sort);
        expected.resize(folderListLimit);
        const std::vector<ShelfFile> listed = listFolder(temp.path(), sort);
        ASSERT_EQ(listed.size(), folderListLimit);
        for (std::size_t i = 0; i < folderListLimit; ++i)
            ASSERT_EQ(listed[i].id().toStdString(), expected[i].id().toStdString())
                << "at " << i << (sort == ShelfSort::name ? " by name" : " by date");
    }
}

TEST(ShelfListing, PipesSocketsAndDevicesAreListedByKindWithoutASize) {
    QTemporaryDir temp;
    const QString pipe = temp.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QLocalServer socket;
    ASSERT_TRUE(socket.listen(temp.filePath(QStringLiteral("socket"))));
    // A device node where the system lets us make one, else a link to one, which is followed.
    const QByteArray device = QFile::encodeName(temp.filePath(QStringLiteral("device")));
    if (::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), temp.filePath(QStringLiteral("device"))));
    }

    const std::vector<ShelfFile> files = listFolder(temp.path(), ShelfSort::name);
    ASSERT_EQ(names(files), (std::vector<QString>{QStringLiteral("device"), QStringLiteral("pipe"),
                                                  QStringLiteral("socket")}));
    EXPECT_EQ(files[0].kind, FileKind::characterDevice);
    EXPECT_EQ(files[1].kind, FileKind::fifo);
    EXPECT_EQ(files[2].kind, FileKind::socket);
    for (const ShelfFile& file : files) {
        EXPECT_TRUE(file.exists);
        EXPECT_FALSE(file.size);
        EXPECT_FALSE(file.isDirectory);
        EXPECT_NE(file.date, ShelfFile::distantPast());
    }
    // Reading one of them is refused without opening it.
    EXPECT_FALSE(readRegularFile(pipe, 100));
}
