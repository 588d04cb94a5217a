#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
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

// What comes between "<name>." and mkstemp's six random characters in our temporary files.
const QString temporaryMark = QStringLiteral("tmp-");

bool isRandomPart(const QString& text) {
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
           });
}

// Earlier builds named their temporary files "<name>.XXXXXX". A user's "<name>.backup" must not
// be taken for one: the random part mixes cases or letters and digits, and the file is 0600.
bool isEarlierTemporary(const QString& suffix, mode_t mode) {
    if (!isRandomPart(suffix) || (mode & 07777) != (S_IRUSR | S_IWUSR))
        return false;
    const bool lower = std::any_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLower(); });
    const bool upper = std::any_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isUpper(); });
    const bool digit = std::any_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isDigit(); });
    return int(lower) + int(upper) + int(digit) >= 2;
}

void removeLeftoversBeside(const QFileInfo& file) {
    const QDir folder = file.absoluteDir();
    const QString prefix = file.fileName() + QLatin1Char('.');
    for (const QString& name : folder.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        const QByteArray entry = QFile::encodeName(folder.filePath(name));
        struct stat status = {};
        // Only plain files this user made: never a link, never someone else's file.
        if (::lstat(entry.constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::getuid())
            continue;
        const QString suffix = name.mid(prefix.size());
        const bool ours =
            (suffix.startsWith(temporaryMark) && isRandomPart(suffix.mid(temporaryMark.size()))) ||
            isEarlierTemporary(suffix, status.st_mode);
        if (ours)
            ::unlink(entry.constData());
    }
}

// Empties the folder open as `fd` (which it closes), entry by entry: folders are opened with
// O_NOFOLLOW, so a link swapped in for one fails to open instead of being followed.
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
        if (::unlinkat(fd, name, 0) == 0)
            continue;
        if (errno != EISDIR && errno != EPERM) {
            *error = systemError();
            emptied = false;
            continue;
        }
        const int child = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0 || !emptyFolder(child, error) || ::unlinkat(fd, name, AT_REMOVEDIR) != 0) {
            if (child < 0 || error->isEmpty())
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
    struct stat status = {};
    if (::lstat(name.constData(), &status) != 0)
        return errno == ENOENT ? std::nullopt : std::optional<QString>(systemError());
    if (!S_ISDIR(status.st_mode)) {
        // A link (to a folder or not) or a plain file: only the name itself goes.
        if (::unlink(name.constData()) != 0)
            return systemError();
        return std::nullopt;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return systemError();
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

StoredFileRead readStoredFile(const QString& path) {
    // Temporary files of a write a kill interrupted; nothing writes the file before this.
    removeAtomicWriteLeftovers(path);
    StoredFileRead result;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return result;
    result.status = StoredFileRead::Status::unreadable;
    if (info.isDir()) {
        result.error = QStringLiteral("it is a folder");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        result.bytes.clear();
        return result;
    }
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

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    // Writing beside the link's target keeps the link and lets the rename stay on one file system.
    const QFileInfo info(resolvedWritePath(path));
    const QString folder = info.absolutePath();
    if (auto error = makePrivateFolder(folder))
        return error;

    // mkstemp makes the file with mode 0600 in the target's own folder, so the rename below never
    // crosses file systems.
    QByteArray temporary = QFile::encodeName(info.absoluteFilePath() + QLatin1Char('.') + temporaryMark +
                                             QStringLiteral("XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return systemError();
    const bool written = writeAll(fd, bytes) && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && ::fsync(fd) == 0;
    const QString writeError = written ? QString() : systemError();
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
