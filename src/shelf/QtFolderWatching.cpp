#include "shelf/QtFolderWatching.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QObject>

#include <map>

namespace corvane {

// The shared watcher and who listens to which folder. Watches hold it weakly, so one that
// outlives the service ends quietly.
class QtFolderWatching::Hub {
public:
    Hub() {
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_watcher,
                         [this](const QString& path) { deliver(path); });
    }

    quint64 add(const QString& path, std::function<void(const FolderChanges&)> onChange) {
        // A folder that was deleted since it was first watched has left the watcher: take it up again.
        if (!m_watcher.directories().contains(path) && !m_watcher.addPath(path))
            return 0;
        const quint64 id = m_nextID++;
        m_listeners[path][id] =
            std::make_shared<std::function<void(const FolderChanges&)>>(std::move(onChange));
        return id;
    }

    void remove(const QString& path, quint64 id) {
        const auto folder = m_listeners.find(path);
        if (folder == m_listeners.end())
            return;
        folder->second.erase(id);
        if (!folder->second.empty())
            return;
        m_listeners.erase(folder);
        if (m_watcher.directories().contains(path))
            m_watcher.removePath(path);
    }

private:
    void deliver(const QString& path) {
        const auto folder = m_listeners.find(path);
        if (folder == m_listeners.end())
            return;
        // A listener may end watches, its own included, while it runs.
        std::vector<std::weak_ptr<std::function<void(const FolderChanges&)>>> listeners;
        for (const auto& [id, listener] : folder->second)
            listeners.push_back(listener);
        // A folder deleted or moved away leaves the watcher.
        const FolderChanges changes{{}, true, !m_watcher.directories().contains(path)};
        for (const auto& weak : listeners) {
            if (const auto listener = weak.lock())
                (*listener)(changes);
        }
    }

    QFileSystemWatcher m_watcher;
    std::map<QString, std::map<quint64, std::shared_ptr<std::function<void(const FolderChanges&)>>>>
        m_listeners;
    quint64 m_nextID = 1;
};

namespace {

class HubWatch final : public FolderWatch {
public:
    HubWatch(std::weak_ptr<QtFolderWatching::Hub> hub, QString path, quint64 id)
        : m_hub(std::move(hub)), m_path(std::move(path)), m_id(id) {}
    ~HubWatch() override {
        if (const auto hub = m_hub.lock())
            hub->remove(m_path, m_id);
    }

private:
    std::weak_ptr<QtFolderWatching::Hub> m_hub;
    QString m_path;
    quint64 m_id;
};

} // namespace

QtFolderWatching::QtFolderWatching() : m_hub(std::make_shared<Hub>()) {}

QtFolderWatching::~QtFolderWatching() = default;

std::unique_ptr<FolderWatch> QtFolderWatching::watch(const QString& path,
                                                     std::function<void(const FolderChanges&)> onChange) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return nullptr;
    const quint64 id = m_hub->add(path, std::move(onChange));
    if (id == 0)
        return nullptr;
    return std::make_unique<HubWatch>(m_hub, path, id);
}

} // namespace corvane
