#pragma once

#include "platform/ApplicationHost.h"
#include "platform/SystemShell.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// This desktop has no stage-style window grouping to be switched on.
bool isStageManagerOn();

// What the fn key is set to do; this desktop keeps no such setting.
std::optional<int> fnUsageType();

// Opens a URL; an empty or unusable text does nothing. Whether anything opened is not reported.
void openURLString(SystemShell& shell, const QString& text);

void openDesktopSettings(SystemShell& shell);
void openKeyboardSettings(SystemShell& shell);
// The control-center settings where they exist, else the menu-bar settings.
void openSystemSettingsPane(SystemShell& shell);

// Starts a new instance that waits for this process to exit, then quits this one, whether or not
// the new instance could be started.
void relaunchApp(SystemShell& shell, ApplicationHost& host);

// Runs a short tool to completion on the calling thread, ignoring its outcome.
void runProcess(SystemShell& shell, const QString& path, const QStringList& arguments);

} // namespace corvane
