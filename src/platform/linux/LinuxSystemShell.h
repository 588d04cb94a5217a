#pragma once

#include "platform/SystemShell.h"

namespace corvane {

// Opens URLs through the desktop's preferred programs and runs programs with QProcess. There is
// no portable way to open a particular page of a desktop's settings, so no pane opens.
class LinuxSystemShell final : public SystemShell {
public:
    bool openUrl(const QString& url) override;
    bool revealFiles(const QList<QUrl>& files) override;
    bool openSettingsPane(SettingsPane pane) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool runToCompletion(const QString& program, const QStringList& arguments) override;
    Seconds systemUptime() const override;
    QString executablePath() const override;
    qint64 processID() const override;
};

} // namespace corvane
