#include "platform/AtomicFile.h"

#include "support/QtPrinting.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace corvane;
using corvane::testing::readBytes;
using corvane::testing::writeBytes;

namespace {

mode_t modeOf(const QString& path) {
    struct stat status = {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

} // namespace

TEST(AtomicFile, FoldersItCreatesArePrivateWhateverTheUmask) {
    QTemporaryDir dir;
    const mode_t saved = ::umask(0);
    const auto error =
        writeFileAtomically(dir.path() + QStringLiteral("/data/Corvane/workspaces.json"), "[]");
    ::umask(saved);
    ASSERT_FALSE(error);
    EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/data")), 0700u);
    EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/data/Corvane")), 0700u);
    EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/data/Corvane/workspaces.json")), 0600u);
    // A folder that already exists keeps its mode.
    EXPECT_EQ(modeOf(dir.path()), 0700u);
    ::chmod(QFile::encodeName(dir.path() + QStringLiteral("/data")).constData(), 0755);
    ASSERT_FALSE(makePrivateFolder(dir.path() + QStringLiteral("/data/Corvane/clipboard")));
    EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/data")), 0755u);
    EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/data/Corvane/clipboard")), 0700u);
}

TEST(AtomicFile, ALinkedFileIsWrittenThroughAndOnlyOurLeftoversAreRemoved) {
    // Given defaults.json linked, through a relative link and an absolute one, into a dotfiles folder
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + QStringLiteral("/dotfiles"));
    QDir().mkpath(dir.path() + QStringLiteral("/config"));
    const QString target = dir.path() + QStringLiteral("/dotfiles/defaults.json");
    const QString middle = dir.path() + QStringLiteral("/config/middle.json");
    const QString link = dir.path() + QStringLiteral("/config/defaults.json");
    writeBytes(target, "{}");
    ASSERT_TRUE(QFile::link(QStringLiteral("../dotfiles/defaults.json"), middle));
    ASSERT_TRUE(QFile::link(middle, link));

    // When it is saved
    ASSERT_FALSE(writeFileAtomically(link, "{\"a\": 1}"));

    // Then the links stay and the target holds the new text
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(readBytes(target), "{\"a\": 1}");

    // Given temporary files interrupted writes left beside the link and beside its target, by a
    // process no longer running (no pid is that high), by one still running (pid 1, and this one),
    // and files that only look alike
    const QString running = QString::number(::getpid());
    for (const QString& name :
         {QStringLiteral("/config/defaults.json.corvane-99999999-Ab12Cd"),
          QStringLiteral("/dotfiles/defaults.json.corvane-99999999-x9Y8z7"),
          QStringLiteral("/config/defaults.json.corvane-1-Ab12Cd"),
          QStringLiteral("/config/defaults.json.corvane-") + running + QStringLiteral("-Ab12Cd"),
          QStringLiteral("/config/defaults.json.tmp-Ab12Cd"), QStringLiteral("/config/defaults.json.Qw3rTy"),
          QStringLiteral("/config/defaults.json.corvane-99999999-Ab12Cd.bak"),
          QStringLiteral("/config/workspaces.json.corvane-99999999-Ab12Cd")}) {
        writeBytes(dir.path() + name, "partial");
        ::chmod(QFile::encodeName(dir.path() + name).constData(), 0600);
    }
    // and one with the mark that others may read, which the writer never makes
    const QString readable = dir.path() + QStringLiteral("/config/defaults.json.corvane-99999999-Rd0644");
    writeBytes(readable, "a user's");
    ::chmod(QFile::encodeName(readable).constData(), 0644);
    removeAtomicWriteLeftovers(link);
    QStringList kept = QDir(dir.path() + QStringLiteral("/config")).entryList(QDir::Files | QDir::System);
    QStringList expected{QStringLiteral("defaults.json"),
                         QStringLiteral("defaults.json.Qw3rTy"),
                         QStringLiteral("defaults.json.corvane-") + running + QStringLiteral("-Ab12Cd"),
                         QStringLiteral("defaults.json.corvane-1-Ab12Cd"),
                         QStringLiteral("defaults.json.corvane-99999999-Ab12Cd.bak"),
                         QStringLiteral("defaults.json.corvane-99999999-Rd0644"),
                         QStringLiteral("defaults.json.tmp-Ab12Cd"),
                         QStringLiteral("middle.json"),
                         QStringLiteral("workspaces.json.corvane-99999999-Ab12Cd")};
    kept.sort();
    expected.sort();
    EXPECT_EQ(kept, expected);
    EXPECT_EQ(QDir(dir.path() + QStringLiteral("/dotfiles")).entryList(QDir::Files),
              QStringList{QStringLiteral("defaults.json")});
}

TEST(AtomicFile, AFailedRenameIsReportedAndLeavesNothingBehind) {
    // A folder where the file should go cannot be replaced by it: only the rename fails
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/workspaces.json");
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inside")));
    EXPECT_TRUE(writeFileAtomically(path, "[]"));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(AtomicFile, RemovingATreeRemovesLinksInsideItNotTheirTargets) {
    QTemporaryDir dir;
    const QString tree = dir.path() + QStringLiteral("/tree");
    writeBytes(tree + QStringLiteral("/a/b/file"), "x");
    writeBytes(dir.path() + QStringLiteral("/outside/kept"), "kept");
    ASSERT_TRUE(QFile::link(dir.path() + QStringLiteral("/outside"), tree + QStringLiteral("/a/link")));
    // A folder without write permission is not opened up to be emptied
    writeBytes(dir.path() + QStringLiteral("/locked/inner"), "x");
    ::chmod(QFile::encodeName(dir.path() + QStringLiteral("/locked")).constData(), 0500);

    EXPECT_FALSE(removeTreeWithoutFollowing(tree));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_EQ(readBytes(dir.path() + QStringLiteral("/outside/kept")), "kept");
    EXPECT_FALSE(removeTreeWithoutFollowing(tree)); // nothing there is no failure
    if (::geteuid() != 0) {
        EXPECT_TRUE(removeTreeWithoutFollowing(dir.path() + QStringLiteral("/locked")));
        EXPECT_EQ(modeOf(dir.path() + QStringLiteral("/locked")), 0500u);
    }
    ::chmod(QFile::encodeName(dir.path() + QStringLiteral("/locked")).constData(), 0700);
}

TEST(AtomicFile, AStoredFileThatGrowsWhileReadIsRefusedPastItsLimit) {
    // The kernel describes its status file as empty and then reads out more: to the reader, a file
    // that grew after it was described. Linked in place, as a stored file may be.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/index.json");
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/status"), path));
    const StoredFileRead grown = readStoredFile(path, 64);
    EXPECT_EQ(grown.status, StoredFileRead::Status::unreadable);
    EXPECT_TRUE(grown.bytes.isEmpty());
    EXPECT_EQ(grown.error, QStringLiteral("it is larger than 64 bytes"));
    // Within the limit it is read whole
    const StoredFileRead whole = readStoredFile(path, 1024 * 1024);
    EXPECT_EQ(whole.status, StoredFileRead::Status::read);
    EXPECT_TRUE(whole.bytes.startsWith("Name:")) << whole.bytes.left(64).constData();
    EXPECT_TRUE(whole.bytes.endsWith('\n'));
}
