#include "platform/fake/FakeSystemShell.h"

namespace corvane {

ShellOutcome FakeSystemShell::openUrl(const QString& url) {
    openedUrls.push_back(url);
    return outcome();
}

bool FakeSystemShell::openSettingsPane(SettingsPane pane) {
    openedPanes.push_back(pane);
    const auto it = paneOpens.find(pane);
    return it == paneOpens.end() || it->second;
}

bool FakeSystemShell::startDetached(const QString& program, const QStringList& arguments) {
    startedProcesses.push_back({program, arguments});
    return processStarts;
}

bool FakeSystemShell::runToCompletion(const QString& program, const QStringList& arguments) {
    ranProcesses.push_back({program, arguments});
    return processStarts;
}

} // namespace corvane
