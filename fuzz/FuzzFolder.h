#pragma once

// What the fuzz targets over stored files share: a failed check aborts with its message, and
// every input is placed as the one file of a private folder (in memory where /dev/shm allows,
// since the stores sync every file they write).

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace corvane::fuzz {

inline const char* targetName = "fuzzer";

inline void check(bool ok, const char* broken) {
    if (ok)
        return;
    std::fprintf(stderr, "%s: %s\n", targetName, broken);
    std::abort();
}

inline std::optional<QByteArray> contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// A folder "Corvane" in a new private home, removed at exit; answers the home.
inline QString makePrivateHome() {
    const QString shm = QStringLiteral("/dev/shm");
    const QFileInfo shmInfo(shm);
    static QTemporaryDir* home = shmInfo.isDir() && shmInfo.isWritable()
                                     ? new QTemporaryDir(shm + QStringLiteral("/corvane-fuzz-XXXXXX"))
                                     : new QTemporaryDir();
    check(home->isValid(), "cannot create the private home");
    std::atexit([] { delete home; });
    check(QDir().mkpath(home->path() + QStringLiteral("/Corvane")), "cannot create the Corvane folder");
    return home->path();
}

// Starts each input from an empty folder, so set-aside copies of earlier inputs do not pile up.
inline void placeFile(const QString& folder, const QString& path, const QByteArray& bytes) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
          "cannot set up the input file");
}

} // namespace corvane::fuzz
