#pragma once

#include <QList>
#include <QUrl>

#include "runtime/Time.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace corvane {

// Places in the desktop's own settings that the product sends the user to.
enum class SettingsPane { accessibility, screenRecording, desktop, keyboard, controlCenter, menuBar };

// What became of a request to open or show something: when nothing opened, `failure` says why,
// in words for the user.
struct ShellOutcome {
    std::optional<QString> failure;

    bool succeeded() const { return !failure; }
};

// What the product asks of the operating system outside windows: opening things, running
// programs, and facts about the machine.
class SystemShell {
public:
    virtual ~SystemShell() = default;
    // Opens a URL or a local path with the user's preferred program.
    virtual ShellOutcome openUrl(const QString& url) = 0;
    // Shows the files selected in the desktop's file manager where one offers that, else opens
    // the folder of the first. `done` hears what became of it, on the main thread, once the file
    // manager has answered (which may be before this returns).
    virtual void revealFiles(const QList<QUrl>& files, std::function<void(const ShellOutcome&)> done) = 0;
    // False where the desktop has no such pane.
    virtual bool openSettingsPane(SettingsPane pane) = 0;
    // Starts a program of Corvane's own (its next instance) and lets it run on its own; it is
    // started with everything Corvane itself was started with. False when it could not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Runs a program to completion on the calling thread; false when it could not start.
    virtual bool runToCompletion(const QString& program, const QStringList& arguments) = 0;
    // Time since the machine booted.
    virtual Seconds systemUptime() const = 0;
    virtual QString executablePath() const = 0;
    virtual qint64 processID() const = 0;
};

} // namespace corvane
