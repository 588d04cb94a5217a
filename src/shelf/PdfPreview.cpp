#include "shelf/PdfPreview.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace corvane {

namespace {

const QString helperName = QStringLiteral("corvane-preview");
constexpr char magic[4] = {'C', 'V', 'P', 'I'};
constexpr qsizetype headerSize = 12;

QString executable(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
}

void closeQuietly(int fd) {
    if (fd >= 0)
        ::close(fd);
}

// The image of a complete answer; a null image for anything else.
QImage imageFromAnswer(const QByteArray& answer, const QSize& bound) {
    if (answer.size() < headerSize || std::memcmp(answer.constData(), magic, sizeof magic) != 0)
        return {};
    quint32 width = 0, height = 0;
    std::memcpy(&width, answer.constData() + 4, 4);
    std::memcpy(&height, answer.constData() + 8, 4);
    if (width == 0 || height == 0 || width > quint32(bound.width()) || height > quint32(bound.height()) ||
        answer.size() != headerSize + qsizetype(width) * qsizetype(height) * 4)
        return {};
    const auto* pixels = reinterpret_cast<const uchar*>(answer.constData() + headerSize);
    return QImage(pixels, int(width), int(height), int(width) * 4, QImage::Format_ARGB32_Premultiplied)
        .copy();
}

} // namespace

struct PdfPreviewRenderer::Children {
    std::mutex mutex;
    std::set<pid_t> running;
    bool stopped = false;
};

PdfPreviewRenderer::PdfPreviewRenderer(QString helper, PdfPreviewLimits limits)
    : m_helper(std::move(helper)), m_limits(limits), m_children(std::make_shared<Children>()) {}

QString PdfPreviewRenderer::defaultHelper() {
    if (const QString chosen = qEnvironmentVariable("CORVANE_PREVIEW_HELPER"); !chosen.isEmpty())
        return executable(chosen);
    const QString here = QCoreApplication::applicationDirPath();
    if (const QString beside = executable(here + QLatin1Char('/') + helperName); !beside.isEmpty())
        return beside;
    return executable(here + QStringLiteral("/../libexec/corvane/") + helperName);
}

void PdfPreviewRenderer::stop() {
    std::lock_guard lock(m_children->mutex);
    m_children->stopped = true;
    for (pid_t child : m_children->running)
        ::kill(child, SIGKILL);
}

QImage PdfPreviewRenderer::render(const QString& path, const QSize& bound) const {
    if (m_helper.isEmpty() || bound.isEmpty())
        return {};
    // The helper reads the file we opened: a regular file, never one swapped for a pipe meanwhile.
    const int file =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat status = {};
    if (file < 0 || ::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        closeQuietly(file);
        return {};
    }
    int answerPipe[2] = {-1, -1};
    if (::pipe2(answerPipe, O_CLOEXEC) != 0) {
        ::close(file);
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, file, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, answerPipe[1], STDOUT_FILENO);
    const QByteArray program = QFile::encodeName(m_helper);
    const QByteArray memory = QByteArray::number(m_limits.memoryBytes);
    const QByteArray time = QByteArray::number(m_limits.timeMs);
    const QByteArray width = QByteArray::number(bound.width());
    const QByteArray height = QByteArray::number(bound.height());
    char* arguments[] = {const_cast<char*>(program.constData()), const_cast<char*>(memory.constData()),
                         const_cast<char*>(time.constData()),    const_cast<char*>(width.constData()),
                         const_cast<char*>(height.constData()),  nullptr};
    pid_t child = -1;
    {
        // Registered before `stop` can look, so a quit never misses a drawing just started.
        std::lock_guard lock(m_children->mutex);
        if (!m_children->stopped &&
            ::posix_spawn(&child, program.constData(), &actions, nullptr, arguments, environ) == 0)
            m_children->running.insert(child);
        else
            child = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(file);
    ::close(answerPipe[1]);
    if (child < 0) {
        ::close(answerPipe[0]);
        return {};
    }

    const qint64 most = headerSize + qint64(bound.width()) * bound.height() * 4;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_limits.timeMs);
    QByteArray answer;
    bool complete = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd ready = {answerPipe[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            break;
        char buffer[65536];
        const ssize_t got = ::read(answerPipe[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            complete = got == 0;
            break;
        }
        if (answer.size() + got > most)
            break;
        answer.append(buffer, got);
    }
    ::close(answerPipe[0]);
    {
        std::lock_guard lock(m_children->mutex);
        m_children->running.erase(child);
    }
    // Past the time limit, or done: either way it goes (a process that ended is only reaped).
    ::kill(child, SIGKILL);
    int exit = 0;
    while (::waitpid(child, &exit, 0) < 0 && errno == EINTR) {
    }
    if (!complete || !WIFEXITED(exit) || WEXITSTATUS(exit) != 0)
        return {};
    return imageFromAnswer(answer, bound);
}

QImage renderFirstPdfPage(QByteArray& bytes, const QSize& bound) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    if (document.status() != QPdfDocument::Status::Ready || document.pageCount() < 1)
        return {};
    const QSizeF points = document.pagePointSize(0);
    if (points.isEmpty())
        return {};
    const QSize size = points.scaled(QSizeF(bound), Qt::KeepAspectRatio).toSize().boundedTo(bound);
    return document.render(0, size);
}

bool writePreviewImage(int fd, const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const quint32 width = quint32(pixels.width());
    const quint32 height = quint32(pixels.height());
    QByteArray answer(magic, sizeof magic);
    answer.append(reinterpret_cast<const char*>(&width), 4);
    answer.append(reinterpret_cast<const char*>(&height), 4);
    for (int y = 0; y < pixels.height(); ++y)
        answer.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), qsizetype(width) * 4);
    const char* data = answer.constData();
    qsizetype left = answer.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

} // namespace corvane
