#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace corvane {

// A running watch on one folder. Destroying it ends the watch.
class FolderWatch {
public:
    virtual ~FolderWatch() = default;
};

// Reports changes to a folder's own entries (created, deleted, renamed) and to the folder itself
// (moved or deleted); not changes inside its files or its sub-folders. Main thread only.
class FolderWatching {
public:
    virtual ~FolderWatching() = default;
    // Calls `onChange` on the main thread once per delivered batch of changes. None when the
    // folder cannot be watched (missing, not a folder, unreadable); nothing is reported then.
    virtual std::unique_ptr<FolderWatch> watch(const QString& path, std::function<void()> onChange) = 0;
};

} // namespace corvane
