#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/stat.h>

namespace corvane::testing {

// What may stand under a stored file's name without being a file of ours: a pipe (opening it to
// read waits for a writer), a link to a device that never ends, and a 1 GB file (sparse: it costs
// no disk).
enum class OddFile { pipe, endlessDevice, hugeFile };
inline constexpr OddFile oddFiles[] = {OddFile::pipe, OddFile::endlessDevice, OddFile::hugeFile};

inline const char* nameOf(OddFile kind) {
    switch (kind) {
    case OddFile::pipe:
        return "a pipe";
    case OddFile::endlessDevice:
        return "a link to /dev/zero";
    case OddFile::hugeFile:
        return "a 1 GB file";
    }
    return "";
}

inline void makeOddFile(const QString& path, OddFile kind) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case OddFile::pipe:
        ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
        break;
    case OddFile::endlessDevice:
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case OddFile::hugeFile: {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));
        break;
    }
    }
}

// What the name holds, to compare before and after: its kind, size and time, and a link's target.
inline QString oddFileState(const QString& path) {
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("gone");
    return QStringLiteral("%1 %2 %3.%4 %5")
        .arg(status.st_mode)
        .arg(status.st_size)
        .arg(status.st_mtim.tv_sec)
        .arg(status.st_mtim.tv_nsec)
        .arg(QFileInfo(path).symLinkTarget());
}

// How much the most memory this process has held grew since this was made, in bytes.
class PeakMemoryGrowth {
public:
    PeakMemoryGrowth() {
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from what is held now
        m_base = peak();
    }
    qint64 bytes() const { return peak() - m_base; }

private:
    static qint64 peak() {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmHWM:", 0) == 0)
                return std::stoll(line.substr(6)) * 1024;
        return 0;
    }
    qint64 m_base = 0;
};

} // namespace corvane::testing
