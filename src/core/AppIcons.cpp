#include "core/AppIcons.h"

namespace corvane {

std::optional<QIcon> AppIcons::appIconForBundleID(const QString& bundleID) {
    if (auto it = m_byBundleID.constFind(bundleID); it != m_byBundleID.constEnd())
        return *it;
    std::optional<QIcon> icon = m_catalog.iconForBundleID(bundleID);
    if (!icon || icon->isNull())
        return std::nullopt;
    m_byBundleID.insert(bundleID, *icon);
    return icon;
}

std::optional<QIcon> AppIcons::appIconForPID(qint64 pid) {
    if (auto it = m_byPID.constFind(pid); it != m_byPID.constEnd())
        return *it;
    std::optional<QIcon> icon = m_catalog.iconForPID(pid);
    if (!icon || icon->isNull())
        return std::nullopt;
    m_byPID.insert(pid, *icon);
    return icon;
}

} // namespace corvane
