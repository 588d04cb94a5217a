#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace corvane {

// What a path names, symbolic links followed. Only a regular file is ever opened to be read: a
// pipe waits for a writer, and opening a device can act on the device.
enum class FileKind : quint8 {
    missing,
    regular,
    directory,
    fifo,
    socket,
    characterDevice,
    blockDevice,
    other
};

// What the file system says of a path without opening it.
struct FileFacts {
    FileKind kind = FileKind::missing;
    std::optional<qint64> modifiedMs; // milliseconds since the epoch
    qint64 size = 0;                  // bytes, for a regular file
};

// The facts of a path, links followed; `missing` when it cannot be described (gone, a link whose
// target is gone, unreadable on the way).
FileFacts fileFacts(const QString& path);

// At most `limit` bytes from the start of a regular file. None when the path is not a regular
// file or cannot be read; anything else is never opened, and opening never waits.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit);

// One entry as its folder lists it.
struct FolderEntry {
    QByteArray name; // as stored, in the file system's encoding
};

// A folder opened once: its entries are listed and described relative to it, so that no entry
// costs a walk of the whole path.
class FolderReader {
public:
    explicit FolderReader(const QString& path);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // False when the path is missing, not a folder or unreadable.
    bool isOpen() const { return m_folder != nullptr; }
    // Every entry but "." and "..", in the order the file system gives them.
    std::vector<FolderEntry> entries();
    // The facts of one entry, links followed.
    FileFacts facts(const QByteArray& name) const;
    // Whether the folder holds an entry of that name (a link whose target is gone included).
    bool contains(const QByteArray& name) const;

private:
    void* m_folder = nullptr; // the open folder stream
};

} // namespace corvane
