#include "platform/linux/JsonDefaultsFile.h"

#include "platform/AtomicFile.h"
#include "platform/StoredJson.h"
#include "runtime/Log.h"

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

JsonDefaultsFile::JsonDefaultsFile(QString path) : m_path(std::move(path)) {}

QString JsonDefaultsFile::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The base directory specification says a relative value is to be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Corvane/defaults.json");
}

DefaultsFile::LoadResult JsonDefaultsFile::load() {
    // Temporary files of a write a kill interrupted; nothing writes the file before this.
    removeAtomicWriteLeftovers(m_path);
    LoadResult result;
    QFile file(m_path);
    if (!file.exists()) {
        result.status = LoadResult::Status::missing;
        return result;
    }
    // A file we may not read is not damaged: it stays where it is, untouched.
    result.status = LoadResult::Status::unreadable;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.status = LoadResult::Status::failed;
    std::optional<Json> document = parseStoredJson(bytes, &result.error);
    if (!document)
        return result;
    if (!document->is_object()) {
        result.error = QStringLiteral("the document is not an object");
        return result;
    }
    result.document = std::move(*document);
    result.status = LoadResult::Status::loaded;
    return result;
}

std::optional<QString> JsonDefaultsFile::save(const Json& document) {
    // Invalid UTF-8 in a string would make the writer throw; such bytes are replaced instead.
    const std::string text = document.dump(4, ' ', false, Json::error_handler_t::replace) + '\n';
    // The caller logs a failure once, not at every retry.
    if (auto error = writeFileAtomically(m_path, QByteArray::fromStdString(text)))
        return QStringLiteral("%1: %2").arg(m_path, *error);
    return std::nullopt;
}

std::optional<QString> JsonDefaultsFile::setAside() {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    // QFile::rename refuses to replace an existing file, so an earlier damaged copy is kept.
    if (const auto target = freeAsideName(m_path + QStringLiteral(".damaged-") + stamp);
        target && QFile::rename(m_path, *target)) {
        qCWarning(lcApp) << "Kept the damaged defaults file as" << *target;
        return QFileInfo(*target).fileName();
    }
    qCWarning(lcApp) << "Could not move the damaged defaults file" << m_path << "aside";
    return std::nullopt;
}

} // namespace corvane
