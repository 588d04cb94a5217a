#pragma once

#include "platform/SystemShell.h"

#include <QString>

namespace corvane {

// Opens URLs through the desktop's preferred programs and runs programs with QProcess. There is
// no portable way to open a particular page of a desktop's settings, so no pane opens.
class LinuxSystemShell final : public SystemShell {
public:
    LinuxSystemShell() = default;
    // Asks the file manager on the D-Bus connection of that name (one a test made with
    // QDBusConnection::connectToBus) instead of the session bus.
    explicit LinuxSystemShell(QString busConnection) : m_busConnection(std::move(busConnection)) {}

    // The private virtual desktop of scripts/virtual-desktop.sh stays up while a process carrying
    // its mark (an environment variable every process it starts inherits) runs: Corvane and its
    // next instance keep the mark, the programs Corvane opens, launches or restores go without it,
    // so that quitting Corvane ends the desktop. Takes the mark out of this process's environment
    // and keeps it for `startDetached`. Called first in main, before any other thread runs.
    static void setAsideVirtualDesktopMark();

    ShellOutcome openUrl(const QString& url) override;
    void revealFiles(const QList<QUrl>& files, std::function<void(const ShellOutcome&)> done) override;
    bool openSettingsPane(SettingsPane pane) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool runToCompletion(const QString& program, const QStringList& arguments) override;
    Seconds systemUptime() const override;
    QString executablePath() const override;
    qint64 processID() const override;

private:
    QString m_busConnection;
};

} // namespace corvane
