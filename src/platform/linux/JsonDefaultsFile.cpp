#include "platform/linux/JsonDefaultsFile.h"

#include "platform/AtomicFile.h"
#include "platform/StoredJson.h"
#include "runtime/Log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    LoadResult result;
    const StoredFileRead stored = readStoredFile(m_path, sizeLimit);
    // A link into a dotfiles folder whose target is not there yet is written through, as a file
    // that is missing.
    const QFileInfo info(m_path);
    if (stored.status == StoredFileRead::Status::missing || (info.isSymLink() && !info.exists())) {
        result.status = LoadResult::Status::missing;
        return result;
    }
    // A file we may not read, or one that is no file of ours, is not damaged: it stays where it
    // is, untouched.
    if (stored.status == StoredFileRead::Status::unreadable) {
        result.status = LoadResult::Status::unreadable;
        result.error = stored.error;
        return result;
    }
    result.status = LoadResult::Status::failed;
    std::optional<Json> document = parseStoredJson(stored.bytes, &result.error);
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
    if (auto error = writeStoredFile(m_path, QByteArray::fromStdString(text), sizeLimit))
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
