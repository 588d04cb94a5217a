#pragma once

#include "workspaces/Workspace.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace corvane {

// Why the store could not read or write "workspaces.json".
struct WorkspaceStoreError {
    enum class Kind {
        unsupportedVersion, // written by a newer program: left untouched
        unreadable,         // something is there that cannot be read: no access, no regular file,
                            // or larger than `WorkspaceStore::fileLimit`
        unmovable,          // damaged, and it could not be moved aside: left in place
        encoding,           // the list holds a value JSON cannot carry (a non-finite number)
        writing,            // the folder or the file could not be written
    };
    Kind kind = Kind::writing;
    int version = 0; // the version found, for unsupportedVersion
    QString detail;

    QString description() const;
};

// The saved workspaces on disk: "workspaces.json" in the product's data folder. Format: an object
// with "version" 1 and "workspaces", keys sorted, absent values left out. Older files (a bare
// array, or a version below 1) are read and rewritten; newer ones are refused and kept; a file
// that cannot be decoded, even in one workspace, is moved aside whole and never overwritten in
// place, and the list starts empty.
class WorkspaceStore {
public:
    struct LoadResult {
        std::vector<Workspace> workspaces;
        std::optional<WorkspaceStoreError> error;
        // Where a damaged file was moved.
        std::optional<QString> setAsidePath;
    };

    // What a file's bytes hold, judged without touching the disk.
    struct Decoded {
        // None when the bytes are in neither layout, or when `error` is set.
        std::optional<std::vector<Workspace>> workspaces;
        // Read from an older layout (a bare array or a version below the current one).
        bool olderLayout = false;
        // Set only for a file written by a newer program.
        std::optional<WorkspaceStoreError> error;
    };

    static constexpr int currentVersion = 1;
    // The largest file read and written: a workspace of a hundred windows takes some 30 KiB, so thousands of
    // them fit, and a bound keeps a link to an endless device from filling memory.
    static constexpr qint64 fileLimit = 64 * 1024 * 1024;

    explicit WorkspaceStore(QString filePath) : m_filePath(std::move(filePath)) {}
    virtual ~WorkspaceStore() = default;

    // $XDG_DATA_HOME/Corvane/workspaces.json (default ~/.local/share). Creates nothing.
    static QString defaultFileURL();
    const QString& filePath() const { return m_filePath; }

    virtual LoadResult load();
    // Writes the whole list atomically (temporary file, fsync, rename); on failure the old file
    // stays as it was. Refused after a load that failed: the file then holds workspaces this run
    // could not take in.
    virtual std::optional<WorkspaceStoreError> save(const std::vector<Workspace>& workspaces);

    // Decodes the text of a workspaces file.
    static Decoded decode(const QByteArray& bytes);

    // The file's text for `workspaces`, or an encoding error.
    static std::optional<QByteArray> encode(const std::vector<Workspace>& workspaces,
                                            QString* error = nullptr);

private:
    LoadResult readFile();
    // "<name>.corrupt-<seconds>.json" beside the file, never the name of an earlier copy.
    std::optional<QString> freeAsideName() const;
    // Moves a damaged file to that name; answers where it went.
    std::optional<QString> moveAside();

    QString m_filePath;
    bool m_lastLoadFailed = false;
};

} // namespace corvane
