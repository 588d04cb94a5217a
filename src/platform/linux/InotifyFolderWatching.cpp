#include "platform/linux/InotifyFolderWatching.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
#include <sys/inotify.h>
#include <unistd.h>

namespace corvane {

namespace {

// Entries created, deleted, moved in or out, written and closed, or whose facts changed; the
// folder's own end. Writes are told once the writer closes, not at every block written.
constexpr uint32_t watchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                                   IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t lostEvents = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

using Listener = std::function<void(const FolderChanges&)>;

} // namespace

class InotifyFolderWatching::Hub {
public:
    Hub() : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (m_fd < 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { read(); });
    }
    ~Hub() {
        m_notifier.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    quint64 add(const QString& path, Listener onChange) {
        if (m_fd < 0)
            return 0;
        Folder* folder = nullptr;
        const auto known = m_byPath.find(path);
        if (known != m_byPath.end()) {
            folder = &m_folders[known->second];
        } else {
            // The same folder under another spelling shares the kernel's watch descriptor.
            const int wd = ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), watchedEvents);
            if (wd < 0)
                return 0;
            folder = &m_folders[wd];
            folder->paths.insert(path);
            m_byPath[path] = wd;
        }
        const quint64 id = m_nextID++;
        folder->listeners[id] = std::make_shared<Listener>(std::move(onChange));
        m_listenerFolder[id] = path;
        return id;
    }

    void remove(quint64 id) {
        m_orphans.erase(id);
        const auto owner = m_listenerFolder.find(id);
        if (owner == m_listenerFolder.end())
            return;
        const QString path = owner->second;
        m_listenerFolder.erase(owner);
        const auto known = m_byPath.find(path);
        if (known == m_byPath.end())
            return;
        const int wd = known->second;
        Folder& folder = m_folders[wd];
        folder.listeners.erase(id);
        if (!folder.listeners.empty())
            return;
        for (const QString& each : folder.paths)
            m_byPath.erase(each);
        m_folders.erase(wd);
        ::inotify_rm_watch(m_fd, wd);
    }

private:
    struct Folder {
        std::set<QString> paths;
        std::map<quint64, std::shared_ptr<Listener>> listeners;
    };

    void read() {
        // Everything waiting is read first, so a burst is one batch per folder.
        std::map<int, std::set<QByteArray>> names;
        std::set<int> lost;
        bool overflow = false;
        alignas(inotify_event) char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW)
                    overflow = true;
                else if (event->mask & lostEvents)
                    lost.insert(event->wd);
                else if (event->len > 0)
                    names[event->wd].insert(QByteArray(event->name));
            }
        }
        std::set<int> whole = lost;
        if (overflow) {
            for (const auto& [wd, folder] : m_folders)
                whole.insert(wd);
        }
        std::vector<std::pair<std::weak_ptr<Listener>, FolderChanges>> deliveries;
        for (const auto& [wd, folder] : m_folders) {
            FolderChanges changes;
            changes.whole = whole.contains(wd);
            changes.ended = lost.contains(wd);
            if (!changes.whole) {
                const auto changed = names.find(wd);
                if (changed == names.end())
                    continue;
                changes.names.assign(changed->second.begin(), changed->second.end());
            }
            for (const auto& [id, listener] : folder.listeners)
                deliveries.emplace_back(listener, changes);
        }
        // A lost watch is forgotten: its listeners stay, and the next `watch` of the path opens a
        // new one.
        for (const int wd : lost) {
            const auto folder = m_folders.find(wd);
            if (folder == m_folders.end())
                continue;
            for (const QString& each : folder->second.paths)
                m_byPath.erase(each);
            for (const auto& [id, listener] : folder->second.listeners)
                m_orphans[id] = listener;
            m_folders.erase(folder);
            ::inotify_rm_watch(m_fd, wd);
        }
        // A listener may end watches, its own included, while it runs.
        for (auto& [weak, changes] : deliveries) {
            if (const auto listener = weak.lock())
                (*listener)(changes);
        }
    }

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::map<int, Folder> m_folders;
    std::map<QString, int> m_byPath;
    std::map<quint64, QString> m_listenerFolder;
    // Listeners of a lost watch, kept alive until their watch ends.
    std::map<quint64, std::shared_ptr<Listener>> m_orphans;
    quint64 m_nextID = 1;
};

namespace {

class HubWatch final : public FolderWatch {
public:
    HubWatch(std::weak_ptr<InotifyFolderWatching::Hub> hub, quint64 id) : m_hub(std::move(hub)), m_id(id) {}
    ~HubWatch() override {
        if (const auto hub = m_hub.lock())
            hub->remove(m_id);
    }

private:
    std::weak_ptr<InotifyFolderWatching::Hub> m_hub;
    quint64 m_id;
};

} // namespace

InotifyFolderWatching::InotifyFolderWatching() : m_hub(std::make_shared<Hub>()) {}

InotifyFolderWatching::~InotifyFolderWatching() = default;

std::unique_ptr<FolderWatch>
InotifyFolderWatching::watch(const QString& path, std::function<void(const FolderChanges&)> onChange) {
    if (path.isEmpty())
        return nullptr;
    const quint64 id = m_hub->add(path, std::move(onChange));
    if (id == 0)
        return nullptr;
    return std::make_unique<HubWatch>(m_hub, id);
}

} // namespace corvane
