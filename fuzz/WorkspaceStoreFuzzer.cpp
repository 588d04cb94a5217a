// Feeds arbitrary bytes to the workspaces file reader, first as text in memory and then as the
// file on disk behind the real store, and aborts when the user's workspaces could be lost: a file
// that failed to load must stay byte for byte (or survive in its set-aside copy), a save after a
// failed load must be refused, whatever the reader accepts must be written back unchanged, and a
// file read only in part must be kept whole beside it.

#include "workspaces/WorkspaceStore.h"

#include "FuzzFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace corvane;
using fuzz::check;
using fuzz::contents;

namespace {

// The private data folder every run works in; set once, before the first input.
QString folder;   // $XDG_DATA_HOME/Corvane
QString filePath; // the store's file in it

QStringList setAsideCopies() {
    return QDir(folder).entryList({QStringLiteral("workspaces.corrupt-*.json")}, QDir::Files);
}

void placeFile(const QByteArray& bytes) {
    fuzz::placeFile(folder, filePath, bytes);
}

// The bytes judged in memory: a list the reader accepts must survive being written and read again.
WorkspaceStore::Decoded checkDecoding(const QByteArray& bytes) {
    WorkspaceStore::Decoded decoded = WorkspaceStore::decode(bytes);
    if (decoded.error) {
        check(!decoded.workspaces, "a refused file also produced workspaces");
        check(decoded.error->kind == WorkspaceStoreError::Kind::unsupportedVersion,
              "decoding failed with something other than a newer version");
        check(decoded.error->version > WorkspaceStore::currentVersion, "a supported version was refused");
    }
    if (!decoded.workspaces)
        return decoded;

    const std::optional<QByteArray> written = WorkspaceStore::encode(*decoded.workspaces);
    check(written.has_value(), "an accepted list cannot be written back");
    const WorkspaceStore::Decoded again = WorkspaceStore::decode(*written);
    check(again.workspaces.has_value() && !again.olderLayout && !again.error,
          "a written list is not read back as the current layout");
    check(*again.workspaces == *decoded.workspaces, "a written list reads back different");
    return decoded;
}

// The same bytes as the file on disk, loaded through the store.
void checkStore(const QByteArray& bytes, const WorkspaceStore::Decoded& decoded) {
    placeFile(bytes);
    WorkspaceStore store(WorkspaceStore::defaultFileURL());
    check(store.filePath() == filePath, "the store does not use the private data folder");

    const WorkspaceStore::LoadResult loaded = store.load();
    const std::optional<QByteArray> onDisk = contents(filePath);
    const QStringList copies = setAsideCopies();

    if (decoded.error) {
        check(loaded.error && loaded.error->kind == WorkspaceStoreError::Kind::unsupportedVersion &&
                  loaded.error->version == decoded.error->version,
              "a newer file was not refused with its version");
    }

    if (loaded.error) {
        check(loaded.workspaces.empty(), "a failed load produced workspaces");
        check(onDisk == bytes, "a failed load changed the file");
        check(copies.isEmpty(), "a failed load set a copy aside");
        check(store.save({}).has_value(), "a save after a failed load was not refused");
        check(contents(filePath) == bytes, "a refused save changed the file");
        return;
    }

    if (decoded.workspaces) {
        check(loaded.workspaces == *decoded.workspaces, "the store read other workspaces than the decoder");
        check(copies.isEmpty(), "a readable file was set aside");
        check(onDisk.has_value(), "a readable file disappeared");
        if (!decoded.olderLayout) {
            check(*onDisk == bytes, "a current file was rewritten");
        } else {
            const WorkspaceStore::Decoded rewritten = WorkspaceStore::decode(*onDisk);
            check(rewritten.workspaces && !rewritten.olderLayout &&
                      *rewritten.workspaces == loaded.workspaces,
                  "an older file was rewritten with other workspaces");
        }
        return;
    }

    // Damaged: the store answers an empty list, so the bytes must live on in the set-aside copy.
    check(loaded.workspaces.empty(), "a damaged file produced workspaces");
    check(!QFileInfo::exists(filePath), "a damaged file was left in place without an error");
    check(copies.size() == 1, "a damaged file was not set aside exactly once");
    check(contents(QDir(folder).filePath(copies.front())) == bytes,
          "the set-aside copy differs from the file");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::targetName = "workspace store fuzzer";
    const QString home = fuzz::makePrivateHome();
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    folder = home + QStringLiteral("/Corvane");
    filePath = folder + QStringLiteral("/workspaces.json");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const WorkspaceStore::Decoded decoded = checkDecoding(bytes);
    checkStore(bytes, decoded);
    return 0;
}
