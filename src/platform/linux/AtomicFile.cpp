#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a failure here leaves a complete file either way.
void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Temporary files are named "<name>.corvane-<pid>-XXXXXX": the program's name and the id of the
// process writing, then mkstemp's six random characters. No file of the user's carries that mark,
// so only such names are ever taken for leftovers, and the pid says whether the write that made one
// may still be going on.
const QString temporaryMark = QStringLiteral("corvane-");

bool isRandomPart(QStringView text) {
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
           });
}

// The pid in a temporary file's suffix ("corvane-<pid>-XXXXXX"); none when the suffix is not ours.
std::optional<pid_t> writerOf(QStringView suffix) {
    if (!suffix.startsWith(temporaryMark) || suffix.size() < temporaryMark.size() + 8)
        return std::nullopt;
    const QStringView random = suffix.right(6);
    const QStringView digits = suffix.mid(temporaryMark.size(), suffix.size() - temporaryMark.size() - 7);
    if (!isRandomPart(random) || suffix[suffix.size() - 7] != u'-' || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qlonglong pid = digits.toLongLong(&ok);
    if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return std::nullopt;
    return static_cast<pid_t>(pid);
}

// A running process may be writing its file right now (the one quitting as a relaunch starts): its
// temporary file is not a leftover. This process counts as running, so nothing it may be writing on
// another thread is taken. A pid taken over by another program keeps a leftover only until a later
// start; an unreadable answer keeps it too.
bool mayStillBeWriting(pid_t pid) {
    return pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH;
}

void removeLeftoversBeside(const QFileInfo& file) {
    const QDir folder = file.absoluteDir();
    const QString prefix = file.fileName() + QLatin1Char('.') + temporaryMark;
    for (const QString& name :
         folder.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        const std::optional<pid_t> writer = writerOf(QStringView(name).mid(file.fileName().size() + 1));
        if (!writer || mayStillBeWriting(*writer))
            continue;
        const QByteArray entry = QFile::encodeName(folder.filePath(name));
        struct stat status = {};
        // Only plain files this user made, private as the writer makes them: never a link, never
        // someone else's file.
        if (::lstat(entry.constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::getuid() || (status.st_mode & 07777) != (S_IRUSR | S_IWUSR))
            continue;
        ::unlink(entry.constData());
    }
}

QString largerThan(qint64 limit) {
    constexpr qint64 mebibyte = 1024 * 1024;
    return limit >= mebibyte && limit % mebibyte == 0
               ? QStringLiteral("it is larger than %1 MiB").arg(limit / mebibyte)
               : QStringLiteral("it is larger than %1 bytes").arg(limit);
}

// Opens `name` in the folder `at` only when it is a folder itself: O_NOFOLLOW makes a link fail
// (ELOOP) rather than be followed, O_DIRECTORY makes anything else fail (ENOTDIR) before it is
// opened. This open is what tells a folder to empty from a name to remove.
int openOwnFolder(int at, const char* name) {
    return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

bool isNotAFolder(int error) {
    return error == ENOTDIR || error == ELOOP;
}

// Empties the folder open as `fd` (which it closes), entry by entry: an entry is emptied only when
// it opens as a folder without following a link.
bool emptyFolder(int fd, QString* error) {
    DIR* listing = ::fdopendir(fd);
    if (!listing) {
        ::close(fd);
        *error = systemError();
        return false;
    }
    bool emptied = true;
    while (const dirent* entry = ::readdir(listing)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        const int child = openOwnFolder(fd, name);
        if (child < 0) {
            // Anything but a folder, a link to one included, goes by its name alone.
            if (!isNotAFolder(errno) || ::unlinkat(fd, name, 0) != 0) {
                *error = systemError();
                emptied = false;
            }
            continue;
        }
        if (!emptyFolder(child, error) || ::unlinkat(fd, name, AT_REMOVEDIR) != 0) {
            if (error->isEmpty())
                *error = systemError();
            emptied = false;
        }
    }
    ::closedir(listing);
    return emptied;
}

} // namespace

std::optional<QString> removeTreeWithoutFollowing(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = openOwnFolder(AT_FDCWD, name.constData());
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        // A link (to a folder or not) or a plain file: only the name itself goes.
        if (!isNotAFolder(errno) || ::unlink(name.constData()) != 0)
            return errno == ENOENT ? std::nullopt : std::optional<QString>(systemError());
        return std::nullopt;
    }
    QString error;
    if (!emptyFolder(fd, &error))
        return QStringLiteral("%1 could not be emptied: %2").arg(path, error);
    if (::rmdir(name.constData()) != 0)
        return systemError();
    return std::nullopt;
}

std::optional<QString> makePrivateFolder(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix;
    for (const QString& part : parts) {
        prefix += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(prefix);
        if (::mkdir(name.constData(), S_IRWXU) == 0) {
            // The umask may have taken bits from the mode asked for; set it exactly, on the
            // folder just made and never through a link put in its place meanwhile.
            const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0) {
                ::fchmod(fd, S_IRWXU);
                ::close(fd);
            }
            continue;
        }
        if (errno != EEXIST)
            return QStringLiteral("cannot create %1: %2").arg(prefix, systemError());
    }
    if (!QFileInfo(absolute).isDir())
        return QStringLiteral("%1 is not a folder").arg(absolute);
    return std::nullopt;
}

QString resolvedWritePath(const QString& path) {
    QString current = QFileInfo(path).absoluteFilePath();
    // The same bound the kernel puts on a chain of links.
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray name = QFile::encodeName(current);
        struct stat status = {};
        if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length =
            ::readlink(name.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length <= 0)
            return current;
        target.truncate(length);
        const QString next = QFile::decodeName(target);
        current = QDir::cleanPath(
            QDir::isAbsolutePath(next) ? next : QFileInfo(current).absolutePath() + '/' + next);
    }
    return current;
}

StoredFileRead readStoredFile(const QString& path, qint64 limit) {
    // Temporary files of a write a kill interrupted; nothing writes the file before this.
    removeAtomicWriteLeftovers(path);
    StoredFileRead result;
    result.status = StoredFileRead::Status::unreadable;
    const QByteArray name = QFile::encodeName(path);
    // Described before it is opened, links followed (a stored file may be linked from elsewhere):
    // opening a pipe would wait for a writer, and opening a device can act on it.
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0) {
        const int failure = errno;
        struct stat link = {};
        if ((failure == ENOENT || failure == ENOTDIR) && ::lstat(name.constData(), &link) != 0)
            result.status = StoredFileRead::Status::missing;
        else
            result.error = failure == ENOENT ? QStringLiteral("it is a link to nothing")
                                             : QString::fromLocal8Bit(std::strerror(failure));
        return result;
    }
    const auto refused = [&](const struct stat& found) -> std::optional<QString> {
        if (S_ISDIR(found.st_mode))
            return QStringLiteral("it is a folder");
        if (!S_ISREG(found.st_mode))
            return QStringLiteral("it is not a regular file");
        if (found.st_size > limit)
            return largerThan(limit);
        return std::nullopt;
    };
    if (const auto why = refused(status)) {
        result.error = *why;
        return result;
    }
    // Opened without waiting, and described again once open: something else may be there by now.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = systemError();
        return result;
    }
    const std::optional<QString> why = ::fstat(fd, &status) != 0 ? systemError() : refused(status);
    if (why) {
        result.error = *why;
        ::close(fd);
        return result;
    }
    // One byte past the limit tells a file that grew while it was read.
    QByteArray bytes(static_cast<qsizetype>(std::min<qint64>(status.st_size, limit) + 1), Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit)
                break;
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit + 1, 2 * filled + 4096)));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = systemError();
            ::close(fd);
            return result;
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    if (filled > limit) {
        result.error = largerThan(limit);
        return result;
    }
    bytes.truncate(filled);
    result.bytes = std::move(bytes);
    result.status = StoredFileRead::Status::read;
    return result;
}

std::optional<QString> freeAsideName(const QString& stem, const QString& suffix) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString target =
            stem + (attempt == 0 ? QString() : QStringLiteral("-%1").arg(attempt)) + suffix;
        if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink())
            return target;
    }
    return std::nullopt;
}

void removeAtomicWriteLeftovers(const QString& path) {
    const QFileInfo file(path);
    removeLeftoversBeside(file);
    const QFileInfo target(resolvedWritePath(path));
    if (target.absoluteFilePath() != file.absoluteFilePath())
        removeLeftoversBeside(target);
}

std::optional<QString> writeStoredFile(const QString& path, const QByteArray& bytes, qint64 limit) {
    return writeStoredFile(path, limit, [&](const ByteWriter& write) { return write(bytes); });
}

std::optional<QString> writeStoredFile(const QString& path, qint64 limit, const ByteProducer& produce) {
    qint64 written = 0;
    bool tooLarge = false;
    const auto error = writeFileAtomically(path, [&](const ByteWriter& write) {
        return produce([&](QByteArrayView bytes) {
            written += bytes.size();
            // Nothing past the limit reaches the disk: the file as it was stays.
            tooLarge = written > limit;
            return !tooLarge && write(bytes);
        });
    });
    if (tooLarge)
        return largerThan(limit) + QStringLiteral(", more than is read back at the next start");
    return error;
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return writeFileAtomically(path, [&](const ByteWriter& write) { return write(bytes); });
}

std::optional<QString> writeFileAtomically(const QString& path, const ByteProducer& produce) {
    // Writing beside the link's target keeps the link and lets the rename stay on one file system.
    const QFileInfo info(resolvedWritePath(path));
    const QString folder = info.absolutePath();
    if (auto error = makePrivateFolder(folder))
        return error;

    // mkstemp makes the file with mode 0600 in the target's own folder, so the rename below never
    // crosses file systems.
    QByteArray temporary = QFile::encodeName(info.absoluteFilePath() + QLatin1Char('.') + temporaryMark +
                                             QString::number(::getpid()) + QStringLiteral("-XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return systemError();
    // The pieces go straight to the file as they come: nothing of it is gathered in memory.
    std::optional<QString> pieceError;
    const bool produced = produce([&](QByteArrayView bytes) {
        if (!pieceError && !writeAll(fd, bytes))
            pieceError = systemError();
        return !pieceError;
    });
    const bool complete = produced && !pieceError;
    const bool written = complete && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && ::fsync(fd) == 0;
    const QString writeError =
        written ? QString()
                : pieceError.value_or(complete ? systemError() : QStringLiteral("it was not made whole"));
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        const QString detail = written ? systemError() : writeError;
        ::unlink(temporary.constData());
        return detail;
    }
    if (::rename(temporary.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        const QString detail = systemError();
        ::unlink(temporary.constData());
        return detail;
    }
    syncFolder(QFile::encodeName(folder));
    return std::nullopt;
}

} // namespace corvane
