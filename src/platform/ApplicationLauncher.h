#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace corvane {

// Starts installed applications from their desktop entries. An application is found by the path
// of its entry (or of an executable), else by its desktop-file id ("org.gnome.Terminal").
class ApplicationLauncher {
public:
    struct Outcome {
        std::optional<int32_t> pid; // the started process; absent when the launch failed
        QString error;              // why it failed
    };

    virtual ~ApplicationLauncher() = default;

    // Where the application can be started from: `path` when something exists there, else the
    // entry installed under `bundleID`; none when neither exists.
    virtual std::optional<QString> locate(const QString& bundleID, const std::optional<QString>& path) = 0;
    // The executable that shows a running window, for a program with no desktop entry: where it
    // can be started again from. None when it cannot be told.
    virtual std::optional<QString> programOfWindow(uint32_t windowID, int32_t pid) = 0;
    // Starts the application found by `locate` in the background, without taking the focus,
    // with `documents` to open and `arguments` for its command line.
    virtual Outcome launch(const QString& location, const QStringList& documents,
                           const QStringList& arguments) = 0;
};

} // namespace corvane
