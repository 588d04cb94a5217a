#include "core/SystemHelpers.h"

#include <QUrl>

namespace corvane {

bool isStageManagerOn() {
    return false;
}

std::optional<int> fnUsageType() {
    return std::nullopt;
}

void openURLString(SystemShell& shell, const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !QUrl::fromUserInput(trimmed).isValid())
        return;
    shell.openUrl(trimmed);
}

void openDesktopSettings(SystemShell& shell) {
    shell.openSettingsPane(SettingsPane::desktop);
}

void openKeyboardSettings(SystemShell& shell) {
    shell.openSettingsPane(SettingsPane::keyboard);
}

void openSystemSettingsPane(SystemShell& shell) {
    if (shell.openSettingsPane(SettingsPane::controlCenter))
        return;
    shell.openSettingsPane(SettingsPane::menuBar);
}

void relaunchApp(SystemShell& shell, ApplicationHost& host) {
    // The new instance must not start while this one still runs: it would find this one alive
    // and hand it "reopen" instead of taking over. The shell polls until our pid is gone, or is
    // only a zombie: where nothing reaps orphans (a container's first process, say) a process
    // that quit keeps its pid for good.
    static const QString script =
        QStringLiteral("while kill -0 \"$1\" 2>/dev/null && ! grep -qs '^State:[[:space:]]*Z' "
                       "\"/proc/$1/status\"; do sleep 0.1; done; exec \"$0\"");
    shell.startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, shell.executablePath(),
                                                    QString::number(shell.processID())});
    host.terminate();
}

void runProcess(SystemShell& shell, const QString& path, const QStringList& arguments) {
    shell.runToCompletion(path, arguments);
}

} // namespace corvane
