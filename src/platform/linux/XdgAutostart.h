#pragma once

#include "platform/LoginItem.h"

#include <QStringList>

namespace corvane {

// The login item as an XDG autostart entry, "corvane.desktop" in the user's autostart folder,
// whose Exec starts this executable with `-launchedAtLogin YES`: the installed program when it
// runs installed. Switching it off removes the
// entry, or, where a system-wide entry of that name exists, writes one that hides it.
class XdgAutostart final : public LoginItem {
public:
    // `configHome` is $XDG_CONFIG_HOME, `systemConfigDirs` $XDG_CONFIG_DIRS, `executable` the
    // absolute path of the program to start.
    XdgAutostart(QString configHome, QStringList systemConfigDirs, QString executable);
    // The folders and executable of this process and user.
    static XdgAutostart forCurrentUser();

    Status status() const override;
    std::optional<QString> registerItem() override;
    std::optional<QString> unregisterItem() override;

    QString entryPath() const;
    // The text of the entry that registering writes.
    QByteArray entryText() const;
    // Whether `executable` lies in a build folder rather than where it was installed: the entry
    // then still starts it (the first run's default stands), and the log says so.
    static bool isInBuildTree(const QString& executable);
    // Run installed, an active entry of the user's that starts another program (a build folder's,
    // or an older install elsewhere) is written again to start this one. Run from a build folder,
    // the entry is left as it is.
    void followInstalledProgram();

private:
    bool hasSystemEntry() const;

    QString m_configHome;
    QStringList m_systemConfigDirs;
    QString m_executable;
};

} // namespace corvane
