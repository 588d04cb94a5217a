#include "core/AppIcons.h"

#include "core/ThemeSymbols.h"

#include <QFileInfo>

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

std::optional<QIcon> AppIcons::appIconForWindow(uint32_t windowID, qint64 pid,
                                                const std::optional<QString>& bundleID) {
    // Kept per window once found: a cell asks at every paint, and a program without an entry
    // would otherwise be looked up in vain each time.
    if (auto it = m_byWindow.constFind(windowID); it != m_byWindow.constEnd() && it->pid == pid)
        return it->icon ? it->icon : genericAppIcon();
    std::optional<QIcon> icon = bundleID ? appIconForBundleID(*bundleID) : std::nullopt;
    if (!icon)
        if (std::optional<QIcon> own = m_catalog.iconForWindow(windowID); own && !own->isNull())
            icon = own;
    if (!icon)
        icon = appIconForPID(pid);
    m_byWindow.insert(windowID, WindowIcon{pid, icon});
    return icon ? icon : genericAppIcon();
}

std::optional<QIcon> AppIcons::appIconForExecutable(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        return std::nullopt;
    settleIconTheme();
    const QIcon icon = QIcon::fromTheme(name);
    return icon.isNull() ? std::nullopt : std::optional<QIcon>(icon);
}

void AppIcons::forgetPID(qint64 pid) {
    m_byPID.remove(pid);
    m_byWindow.removeIf([pid](QHash<uint32_t, WindowIcon>::iterator it) { return it->pid == pid; });
}

void AppIcons::keepWindows(const QSet<uint32_t>& open) {
    m_byWindow.removeIf(
        [&open](QHash<uint32_t, WindowIcon>::iterator it) { return !open.contains(it.key()); });
}

std::optional<QIcon> AppIcons::genericAppIcon() {
    static const QIcon generic = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    return generic.isNull() ? std::nullopt : std::optional<QIcon>(generic);
}

} // namespace corvane
