#pragma once

#include "platform/SystemShell.h"

#include <map>
#include <vector>

namespace corvane {

// Records what the product asked of the system and answers as the test scripts it. Every
// settings pane opens unless `paneOpens` says otherwise for it.
class FakeSystemShell final : public SystemShell {
public:
    struct Process {
        QString program;
        QStringList arguments;
    };

    ShellOutcome openUrl(const QString& url) override;
    void revealFiles(const QList<QUrl>& files, std::function<void(const ShellOutcome&)> done) override {
        revealed.push_back(files);
        if (done)
            done(outcome());
    }
    bool openSettingsPane(SettingsPane pane) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool runToCompletion(const QString& program, const QStringList& arguments) override;
    Seconds systemUptime() const override { return uptime; }
    QString executablePath() const override { return executable; }
    qint64 processID() const override { return pid; }

    // What happened, in order.
    std::vector<QString> openedUrls;
    std::vector<QList<QUrl>> revealed;
    std::vector<SettingsPane> openedPanes; // every pane asked for, whether it opened or not
    std::vector<Process> startedProcesses;
    std::vector<Process> ranProcesses;

    // The answers.
    bool urlOpens = true;
    // Why nothing opened, while `urlOpens` is false.
    QString openFailure = QStringLiteral("no program is set up to open it");
    std::map<SettingsPane, bool> paneOpens;
    bool processStarts = true;
    Seconds uptime{3600};
    QString executable = QStringLiteral("/usr/bin/corvane");
    qint64 pid = 4242;

private:
    ShellOutcome outcome() const { return urlOpens ? ShellOutcome{} : ShellOutcome{openFailure}; }
};

} // namespace corvane
