#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
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

} // namespace

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder)) {
        const QFileInfo existing(folder);
        if (existing.exists() && !existing.isDir())
            return QStringLiteral("cannot create %1: a file of that name is in the way").arg(folder);
        return QStringLiteral("cannot create ") + folder;
    }

    // mkstemp makes the file with mode 0600 in the target's own folder, so the rename below never
    // crosses file systems.
    QByteArray temporary = QFile::encodeName(info.absoluteFilePath() + QStringLiteral(".XXXXXX"));
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
