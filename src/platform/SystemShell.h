#pragma once

#include <QList>
#include <QUrl>

#include "runtime/Time.h"

#include <QString>
#include <QStringList>

namespace corvane {

// Places in the desktop's own settings that the product sends the user to.
enum class SettingsPane { accessibility, screenRecording, desktop, keyboard, controlCenter, menuBar };

// What the product asks of the operating system outside windows: opening things, running
// programs, and facts about the machine.
class SystemShell {
public:
    virtual ~SystemShell() = default;
    // Opens a URL or a local path with the user's preferred program; false when nothing opened it.
    virtual bool openUrl(const QString& url) = 0;
    // Shows the files selected in the desktop's file manager where one offers that, else opens
    // the folder of the first; false when nothing could be shown.
    virtual bool revealFiles(const QList<QUrl>& files) = 0;
    // False where the desktop has no such pane.
    virtual bool openSettingsPane(SettingsPane pane) = 0;
    // Starts a program and lets it run on its own; false when it could not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Runs a program to completion on the calling thread; false when it could not start.
    virtual bool runToCompletion(const QString& program, const QStringList& arguments) = 0;
    // Time since the machine booted.
    virtual Seconds systemUptime() const = 0;
    virtual QString executablePath() const = 0;
    virtual qint64 processID() const = 0;
};

} // namespace corvane
