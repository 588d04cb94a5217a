#pragma once

#include "platform/ApplicationCatalog.h"

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QString>

#include <cstdint>
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
    // The picture the icon theme names after a program's executable file ("/usr/bin/xterm":
    // "xterm"), for a program that has no desktop entry; none when the theme has no such picture.
    static std::optional<QIcon> appIconForExecutable(const QString& path);
    // The picture of one window's program: its desktop entry's icon (by the window's `bundleID`),
    // else the icon the window sets itself, else its process's, else the generic picture of a
    // program. None only where the icon theme has no generic picture either.
    std::optional<QIcon> appIconForWindow(uint32_t windowID, qint64 pid,
                                          const std::optional<QString>& bundleID);
    // The picture of a program that shows none of its own.
    static std::optional<QIcon> genericAppIcon();
    // Drops a terminated application's entry, so that a process id the system reuses is looked
    // up afresh.
    void forgetPID(qint64 pid);
    // Drops what was kept for windows no longer open (a program that still runs may close many).
    void keepWindows(const QSet<uint32_t>& open);

private:
    ApplicationCatalog& m_catalog;
    QHash<QString, QIcon> m_byBundleID;
    QHash<qint64, QIcon> m_byPID;
    // What each window's program was found to show (none: nothing of its own), and its process.
    struct WindowIcon {
        qint64 pid = 0;
        std::optional<QIcon> icon;
    };
    QHash<uint32_t, WindowIcon> m_byWindow;
};

} // namespace corvane
