#include "platform/linux/JsonDefaultsFile.h"

#include "app/Log.h"

#include <QDateTime>
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

bool writeAll(int fd, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
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

JsonDefaultsFile::JsonDefaultsFile(QString path) : m_path(std::move(path)) {}

QString JsonDefaultsFile::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The base directory specification says a relative value is to be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Corvane/defaults.json");
}

DefaultsFile::LoadResult JsonDefaultsFile::load() {
    LoadResult result;
    QFile file(m_path);
    if (!file.exists()) {
        result.status = LoadResult::Status::missing;
        return result;
    }
    result.status = LoadResult::Status::failed;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    try {
        result.document = Json::parse(bytes.constBegin(), bytes.constEnd());
    } catch (const Json::parse_error& error) {
        result.error = QString::fromUtf8(error.what());
        return result;
    }
    if (!result.document.is_object()) {
        result.error = QStringLiteral("the document is not an object");
        return result;
    }
    result.status = LoadResult::Status::loaded;
    return result;
}

bool JsonDefaultsFile::save(const Json& document) {
    const QFileInfo info(m_path);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcApp) << "Could not create the defaults folder" << folder;
        return false;
    }
    // Invalid UTF-8 in a string would make the writer throw; such bytes are replaced instead.
    const std::string text = document.dump(4, ' ', false, Json::error_handler_t::replace) + '\n';

    // mkstemp creates the file with mode 0600 in the target's own folder, so the rename below
    // never crosses file systems.
    QByteArray temporary = QFile::encodeName(info.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        qCWarning(lcApp) << "Could not create a temporary defaults file in" << folder << ":" << systemError();
        return false;
    }
    const bool written = writeAll(fd, text) && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && ::fsync(fd) == 0;
    const QString writeError = written ? QString() : systemError();
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        qCWarning(lcApp) << "Could not write the defaults file" << m_path << ":"
                         << (written ? systemError() : writeError);
        ::unlink(temporary.constData());
        return false;
    }
    if (::rename(temporary.constData(), QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        qCWarning(lcApp) << "Could not replace the defaults file" << m_path << ":" << systemError();
        ::unlink(temporary.constData());
        return false;
    }
    syncFolder(QFile::encodeName(folder));
    return true;
}

void JsonDefaultsFile::setAside() {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    const QString base = m_path + QStringLiteral(".damaged-") + stamp;
    // QFile::rename refuses to replace an existing file, so an earlier damaged copy is kept.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString target = attempt == 0 ? base : base + QStringLiteral("-%1").arg(attempt);
        if (QFile::exists(target))
            continue;
        if (QFile::rename(m_path, target)) {
            qCWarning(lcApp) << "Kept the damaged defaults file as" << target;
            return;
        }
        break;
    }
    qCWarning(lcApp) << "Could not move the damaged defaults file" << m_path << "aside";
}

} // namespace corvane
