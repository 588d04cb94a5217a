#include "shelf/PdfPreview.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>
#include <QThreadPool>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// A drawing waits for another process up to its time limit. The shared pool's threads also take
// part in Qt's own painting, which the main thread waits for: while this thread only waits, the
// pool may run another in its place.
struct PoolThreadGivenBack {
    PoolThreadGivenBack() { QThreadPool::globalInstance()->releaseThread(); }
    ~PoolThreadGivenBack() { QThreadPool::globalInstance()->reserveThread(); }
    PoolThreadGivenBack(const PoolThreadGivenBack&) = delete;
    PoolThreadGivenBack& operator=(const PoolThreadGivenBack&) = delete;
};

} // namespace

struct PdfPreviewRenderer::Children {
    struct Drawing {
        pid_t pid = -1;
        int wake = -1; // written to when the drawing is cancelled
        quint64 order = 0;
    };
    std::mutex mutex;
    std::vector<Drawing> running;
    quint64 latestOrder = 0;
    bool stopped = false;

    // With the mutex held. The helper and whatever it started go (each helper leads a process
    // group of its own), and its waiting thread stops waiting even if a child of the helper still
    // holds the answer open.
    static void cancel(const Drawing& drawing) {
        ::kill(-drawing.pid, SIGKILL);
        ::kill(drawing.pid, SIGKILL);
        const uint64_t one = 1;
        (void)!::write(drawing.wake, &one, sizeof one);
    }
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
    for (const Children::Drawing& drawing : m_children->running)
        Children::cancel(drawing);
}

QImage PdfPreviewRenderer::render(const QString& path, const QSize& bound, quint64 order) const {
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
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0 || ::pipe2(answerPipe, O_CLOEXEC) != 0) {
        closeQuietly(wake);
        ::close(file);
        return {};
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
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
        // Registered before `stop` or a later drawing can look, so none misses a drawing just
        // started.
        std::lock_guard lock(m_children->mutex);
        const bool overtaken = order != 0 && order < m_children->latestOrder;
        if (!m_children->stopped && !overtaken) {
            if (order != 0) {
                m_children->latestOrder = order;
                for (const Children::Drawing& older : m_children->running) {
                    if (older.order != 0)
                        Children::cancel(older);
                }
            }
            if (::posix_spawn(&child, program.constData(), &actions, &attributes, arguments, environ) == 0)
                m_children->running.push_back({child, wake, order});
            else
                child = -1;
        }
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(file);
    ::close(answerPipe[1]);
    if (child < 0) {
        ::close(answerPipe[0]);
        ::close(wake);
        return {};
    }

    const qint64 most = headerSize + qint64(bound.width()) * bound.height() * 4;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_limits.timeMs);
    QByteArray answer;
    bool complete = false;
    {
        const PoolThreadGivenBack waiting;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd ready[2] = {{answerPipe[0], POLLIN, 0}, {wake, POLLIN, 0}};
            const int polled = ::poll(ready, 2, int(left.count()));
            if (polled < 0 && errno == EINTR)
                continue;
            if (polled <= 0 || ready[1].revents != 0)
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
    }
    ::close(answerPipe[0]);
    {
        std::lock_guard lock(m_children->mutex);
        std::erase_if(m_children->running,
                      [&](const Children::Drawing& drawing) { return drawing.pid == child; });
    }
    ::close(wake);
    // Past the time limit, cancelled or done: either way it goes with all it started (a process
    // that ended is only reaped).
    ::kill(-child, SIGKILL);
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
