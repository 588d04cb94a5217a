#pragma once

#include "platform/FolderWatching.h"

#include <memory>

namespace corvane {

// Folder watching on inotify, with the names of the entries that changed: one descriptor for
// every watch of the process, read on the main thread when it has something to say. Lost events
// (the queue overflowed) and a lost watch (the folder deleted, moved or unmounted) are reported as
// changes of unknown entries; a watch lost that way is set up again at the next `watch` call.
class InotifyFolderWatching final : public FolderWatching {
public:
    InotifyFolderWatching();
    ~InotifyFolderWatching() override;

    std::unique_ptr<FolderWatch> watch(const QString& path,
                                       std::function<void(const FolderChanges&)> onChange) override;

    class Hub;

private:
    std::shared_ptr<Hub> m_hub;
};

} // namespace corvane
