#include "platform/FileFacts.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

FileFacts factsOf(const struct stat& status) {
    FileFacts facts;
    const mode_t mode = status.st_mode;
    if (S_ISREG(mode))
        facts.kind = FileKind::regular;
    else if (S_ISDIR(mode))
        facts.kind = FileKind::directory;
    else if (S_ISFIFO(mode))
        facts.kind = FileKind::fifo;
    else if (S_ISSOCK(mode))
        facts.kind = FileKind::socket;
    else if (S_ISCHR(mode))
        facts.kind = FileKind::characterDevice;
    else if (S_ISBLK(mode))
        facts.kind = FileKind::blockDevice;
    else
        facts.kind = FileKind::other;
    facts.modifiedMs = static_cast<qint64>(status.st_mtim.tv_sec) * 1000 +
                       static_cast<qint64>(status.st_mtim.tv_nsec) / 1000000;
    if (facts.kind == FileKind::regular)
        facts.size = static_cast<qint64>(status.st_size);
    return facts;
}

DIR* folderStream(void* folder) {
    return static_cast<DIR*>(folder);
}

} // namespace

FileFacts fileFacts(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return factsOf(status);
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit) {
    if (fileFacts(path).kind != FileKind::regular)
        return std::nullopt;
    // Non-blocking and checked again once open: the path may have been replaced by a pipe since.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(std::max<qint64>(0, std::min<qint64>(limit, status.st_size))));
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        filled += got;
    }
    ::close(fd);
    bytes.truncate(filled);
    return bytes;
}

FolderReader::FolderReader(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    m_folder = ::fdopendir(fd);
    if (!m_folder)
        ::close(fd);
}

FolderReader::~FolderReader() {
    if (m_folder)
        ::closedir(folderStream(m_folder));
}

std::vector<FolderEntry> FolderReader::entries() {
    std::vector<FolderEntry> entries;
    if (!m_folder)
        return entries;
    DIR* folder = folderStream(m_folder);
    ::rewinddir(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        entries.push_back(FolderEntry{QByteArray(name)});
    }
    return entries;
}

FileFacts FolderReader::facts(const QByteArray& name) const {
    struct stat status {};
    if (!m_folder || ::fstatat(::dirfd(folderStream(m_folder)), name.constData(), &status, 0) != 0)
        return {};
    return factsOf(status);
}

bool FolderReader::contains(const QByteArray& name) const {
    struct stat status {};
    return m_folder && !name.isEmpty() &&
           ::fstatat(::dirfd(folderStream(m_folder)), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace corvane
