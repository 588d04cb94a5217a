#include "platform/linux/InotifyFolderWatching.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

#include <fcntl.h>
#include <unistd.h>

using namespace corvane;

namespace {

void touch(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

TEST(InotifyFolderWatching, NamesWhatChangedAndTellsLostEventsAndALostWatchAsUnknownAndEnded) {
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("watched"));
    ASSERT_TRUE(QDir().mkpath(folder));
    InotifyFolderWatching watching;
    std::set<QByteArray> names;
    int whole = 0;
    int ended = 0;
    auto watch = watching.watch(folder, [&](const FolderChanges& changes) {
        whole += changes.whole ? 1 : 0;
        ended += changes.ended ? 1 : 0;
        names.insert(changes.names.begin(), changes.names.end());
    });
    ASSERT_TRUE(watch);

    // Created, renamed (both names), written, deleted; a change inside a sub-folder is not the folder's.
    touch(folder + QStringLiteral("/a"));
    QFile::rename(folder + QStringLiteral("/a"), folder + QStringLiteral("/b"));
    QDir(folder).mkdir(QStringLiteral("sub"));
    touch(folder + QStringLiteral("/sub/inner"));
    QFile::remove(folder + QStringLiteral("/b"));
    const std::set<QByteArray> expected{"a", "b", "sub"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return names == expected; }, 10000));
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(ended, 0);

    // More events than the kernel queues before they are read: which entries changed is lost.
    QFile limit(QStringLiteral("/proc/sys/fs/inotify/max_queued_events"));
    ASSERT_TRUE(limit.open(QIODevice::ReadOnly));
    const int queued = limit.readAll().trimmed().toInt();
    if (queued > 0 && queued <= 65536) {
        // Each file makes two events: created, and closed after writing.
        for (int i = 0; i < queued / 2 + 10; ++i)
            touch(folder + QStringLiteral("/f%1").arg(i));
        EXPECT_TRUE(QTest::qWaitFor([&] { return whole == 1; }, 30000));
    }

    // The folder deleted: its watch is lost, and said to have ended.
    whole = 0;
    QDir(folder).removeRecursively();
    EXPECT_TRUE(QTest::qWaitFor([&] { return whole > 0; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended == 1; }, 10000));
    EXPECT_EQ(ended, 1);
}
