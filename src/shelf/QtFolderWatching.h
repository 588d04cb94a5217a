#pragma once

#include "platform/FolderWatching.h"

#include <memory>

namespace corvane {

// Folder watching on the file system's change notifications, through one QFileSystemWatcher
// shared by every watch so that many folders cost one notification handle. It does not tell which
// entries changed: every batch is a change of unknown entries.
class QtFolderWatching final : public FolderWatching {
public:
    QtFolderWatching();
    ~QtFolderWatching() override;

    std::unique_ptr<FolderWatch> watch(const QString& path,
                                       std::function<void(const FolderChanges&)> onChange) override;

    class Hub;

private:
    std::shared_ptr<Hub> m_hub;
};

} // namespace corvane
