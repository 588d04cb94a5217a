#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

QString corvaneDataFolder() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative value is to be ignored.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/Corvane");
}

bool writePrivateMarker(const QString& path, const QDateTime& time) {
    const QByteArray native = QFile::encodeName(path);
    // Never through a link, and never waiting: a pipe in its place without a reader fails at once.
    const int fd =
        ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
               S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    const qint64 ms = time.toMSecsSinceEpoch();
    timespec times[2];
    times[0].tv_sec = static_cast<time_t>(ms / 1000);
    times[0].tv_nsec = static_cast<long>((ms % 1000) * 1000000);
    times[1] = times[0];
    const bool stamped = ::futimens(fd, times) == 0;
    ::close(fd);
    return stamped;
}

std::optional<QDateTime> modificationTime(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    const qint64 ms = static_cast<qint64>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

} // namespace corvane
