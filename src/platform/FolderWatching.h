#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace corvane {

// A running watch on one folder. Destroying it ends the watch.
class FolderWatch {
public:
    virtual ~FolderWatch() = default;
};

// One delivered batch of changes to a folder's own entries.
struct FolderChanges {
    // The entries that were created, deleted, moved in or out, written or had their facts changed,
    // each once, as stored (the file system's encoding). What became of them is read afresh.
    std::vector<QByteArray> names;
    // Which entries changed is not known (events were lost, the watch itself was lost, or the
    // watching cannot tell): only a whole listing says what the folder holds now.
    bool whole = false;
    // The watch ended with this batch (the folder was deleted, moved away or unmounted): nothing
    // more comes from it. Its `whole` is set too.
    bool ended = false;
};

// Reports changes to a folder's own entries (created, deleted, renamed, written) and to the folder
// itself (moved or deleted); not changes inside its sub-folders. Main thread only.
class FolderWatching {
public:
    virtual ~FolderWatching() = default;
    // Calls `onChange` on the main thread once per delivered batch of changes, until a batch that
    // ends the watch. None when the folder cannot be watched (missing, not a folder, unreadable);
    // nothing is reported then.
    virtual std::unique_ptr<FolderWatch> watch(const QString& path,
                                               std::function<void(const FolderChanges&)> onChange) = 0;
};

} // namespace corvane
