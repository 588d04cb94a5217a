#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace corvane {

// Writes a file the user owns so that it is always either the old file or the whole new one: a
// temporary file in the same folder ("<name>.corvane-<pid>-XXXXXX", mode 0600: a mark no file of the
// user's carries, and the writing process), synced, then renamed over the target,
// and the folder synced. A path that is a symbolic link is written through: the new file replaces the link's
// final target, and the link stays. Creates missing folders as `makePrivateFolder` does. Answers none on
// success, else why it failed; on failure the old file is untouched.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);
// Takes one piece of a file's bytes; false once a write failed, and then nothing more is written.
using ByteWriter = std::function<bool(QByteArrayView bytes)>;
// Hands a file's bytes to the writer it is given, piece by piece, stopping when it answers false;
// answers whether it handed over all of them.
using ByteProducer = std::function<bool(const ByteWriter& write)>;
// As `writeFileAtomically`, the bytes streamed to the file as `produce` hands them over: a file
// costs no more memory than its producer's pieces. A producer that stops short fails the write.
std::optional<QString> writeFileAtomically(const QString& path, const ByteProducer& produce);
// As `writeFileAtomically`, for a file `readStoredFile` reads back with `limit`: bytes past the
// limit are not written (the next start would refuse the file and keep the store from saving), and
// the answer says so.
std::optional<QString> writeStoredFile(const QString& path, const QByteArray& bytes, qint64 limit);
// As `writeStoredFile`, streamed: the write stops at the first piece past the limit.
std::optional<QString> writeStoredFile(const QString& path, qint64 limit, const ByteProducer& produce);

// Creates `path` and any missing parent with mode 0700 whatever the umask, as the base directory
// rules ask of the folders an application makes; folders that exist keep their mode. Answers
// none when the folder exists afterwards, else why not.
std::optional<QString> makePrivateFolder(const QString& path);

// Removes `path` and everything under it without ever following a symbolic link: a link, at
// `path` or inside it, is removed itself and what it points to is left as it is; no mode is
// changed to make a removal work. Answers none when nothing is left, else why not.
std::optional<QString> removeTreeWithoutFollowing(const QString& path);

// Where a write of `path` lands: the final target of a symbolic link (even one not there yet),
// `path` itself otherwise.
QString resolvedWritePath(const QString& path);

// What reading a stored file found: nothing there, its bytes, or why it could not be read. A
// folder in its place, a link to nothing, anything but a regular file (a pipe, a device) and a file
// larger than the reader's limit count as unreadable: something is there that a write would replace.
struct StoredFileRead {
    enum class Status { missing, read, unreadable };
    Status status = Status::missing;
    QByteArray bytes;
    QString error;
};
// Reads at most `limit` bytes, links followed; only a regular file is ever opened, and opening never
// waits. Removes the leftovers of interrupted writes first (`removeAtomicWriteLeftovers`), so call
// it before anything writes the file in this run.
StoredFileRead readStoredFile(const QString& path, qint64 limit);

// Where a damaged file is kept without replacing one kept earlier: the first of "<stem><suffix>",
// "<stem>-1<suffix>" … "<stem>-99<suffix>" that names nothing yet, not even a dangling link.
std::optional<QString> freeAsideName(const QString& stem, const QString& suffix = {});

// Removes the temporary files an interrupted `writeFileAtomically` of `path` left beside it and
// beside its link's target: names with the writer's mark only, of a process no longer running (this
// one counts as running), plain 0600 files of this user only.
void removeAtomicWriteLeftovers(const QString& path);

} // namespace corvane
