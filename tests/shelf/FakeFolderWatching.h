#pragma once

#include "platform/FolderWatching.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace corvane::testing {

// Folder watching that the test drives: a folder can be watched when it exists on disk, and
// `change` delivers one batch of changes to every watch of a path.
class FakeFolderWatching final : public FolderWatching {
public:
    struct Shared {
        std::multimap<QString, std::shared_ptr<std::function<void(const FolderChanges&)>>> live;
        int opened = 0;
    };

    std::unique_ptr<FolderWatch> watch(const QString& path,
                                       std::function<void(const FolderChanges&)> onChange) override {
        if (!QFileInfo(path).isDir())
            return nullptr;
        ++m_shared->opened;
        return std::make_unique<Watch>(m_shared, path, std::move(onChange));
    }

    // Delivers a change of `path` to its watches (of unknown entries unless `changes` names them);
    // false when nobody watches it.
    bool change(const QString& path, const FolderChanges& changes = FolderChanges{{}, true}) {
        const auto [first, last] = m_shared->live.equal_range(path);
        if (first == last)
            return false;
        // Held while they run, as a real watching does: a listener may end its own watch.
        std::vector<std::shared_ptr<std::function<void(const FolderChanges&)>>> listeners;
        for (auto it = first; it != last; ++it)
            listeners.push_back(it->second);
        for (const auto& listener : listeners)
            (*listener)(changes);
        return true;
    }

    QStringList watched() const {
        QStringList paths;
        for (const auto& [path, listener] : m_shared->live)
            paths.push_back(path);
        return paths;
    }
    int openedCount() const { return m_shared->opened; }

private:
    class Watch final : public FolderWatch {
    public:
        Watch(std::shared_ptr<Shared> shared, QString path,
              std::function<void(const FolderChanges&)> onChange)
            : m_shared(std::move(shared)), m_path(std::move(path)),
              m_onChange(std::make_shared<std::function<void(const FolderChanges&)>>(std::move(onChange))) {
            m_shared->live.emplace(m_path, m_onChange);
        }
        ~Watch() override {
            const auto [first, last] = m_shared->live.equal_range(m_path);
            for (auto it = first; it != last; ++it) {
                if (it->second == m_onChange) {
                    m_shared->live.erase(it);
                    break;
                }
            }
        }

    private:
        std::shared_ptr<Shared> m_shared;
        QString m_path;
        std::shared_ptr<std::function<void(const FolderChanges&)>> m_onChange;
    };

    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

} // namespace corvane::testing
