// corvane-preview: draws the first page of the PDF on its standard input for the shelf's preview,
// under the memory and time limits it is given, and answers the picture on its standard output.
// A PDF whose drawing would take more ends this process, not Corvane.
//
//   corvane-preview <address-space bytes> <milliseconds> <width> <height> < file.pdf
#include "shelf/PdfPreview.h"

#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr qsizetype mostRead = qsizetype(64) * 1024 * 1024;

void limit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit bound = {soft, hard};
    ::setrlimit(resource, &bound);
}

// The address space this process already holds. A build with AddressSanitizer reserves terabytes of
// shadow memory before main runs, so there the bound is counted on top of what is already held;
// anywhere else the bound stands as given.
rlim_t alreadyHeld() {
#if defined(__SANITIZE_ADDRESS__)
    FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long long pages = 0;
    if (statm) {
        if (std::fscanf(statm, "%llu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
#else
    return 0;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5)
        return 64;
    const long long memory = QByteArray(argv[1]).toLongLong();
    const long long timeMs = QByteArray(argv[2]).toLongLong();
    const QSize bound(QByteArray(argv[3]).toInt(), QByteArray(argv[4]).toInt());
    if (memory <= 0 || timeMs <= 0 || bound.isEmpty())
        return 64;
    const rlim_t addressSpace = alreadyHeld() + rlim_t(memory);
    limit(RLIMIT_AS, addressSpace, addressSpace);
    const rlim_t seconds = rlim_t((timeMs + 999) / 1000);
    limit(RLIMIT_CPU, seconds, seconds + 1);
    // Nothing is written to disk, not even a core file of a drawing that ran out of memory.
    limit(RLIMIT_CORE, 0, 0);
    limit(RLIMIT_FSIZE, 0, 0);

    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return 66;
        if (got == 0)
            break;
        if (bytes.size() + got > mostRead)
            return 66;
        bytes.append(buffer, got);
    }
    const QImage page = corvane::renderFirstPdfPage(bytes, bound);
    if (page.isNull())
        return 65;
    return corvane::writePreviewImage(STDOUT_FILENO, page) ? 0 : 74;
}
