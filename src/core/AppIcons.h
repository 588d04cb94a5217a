#pragma once

#include "platform/ApplicationCatalog.h"

#include <QHash>
#include <QIcon>
#include <QString>

#include <optional>

namespace corvane {

// Application pictures by desktop-file id and by process id, each kept once found. Only
// successful lookups are kept (an empty picture counts as none), so an application installed later
// is still found. Main thread.
class AppIcons {
public:
    explicit AppIcons(ApplicationCatalog& catalog) : m_catalog(catalog) {}

    std::optional<QIcon> appIconForBundleID(const QString& bundleID);
    std::optional<QIcon> appIconForPID(qint64 pid);
    // Drops a terminated application's entry, so that a process id the system reuses is looked
    // up afresh.
    void forgetPID(qint64 pid) { m_byPID.remove(pid); }

private:
    ApplicationCatalog& m_catalog;
    QHash<QString, QIcon> m_byBundleID;
    QHash<qint64, QIcon> m_byPID;
};

} // namespace corvane
