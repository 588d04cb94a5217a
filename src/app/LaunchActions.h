#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// What a launch asks for beyond starting: a settings tab to open ("-settingsTab layouts") and a
// preview of the volume and brightness display ("-previewNotchHUD"). A second launch hands these
// to the running instance; every other `-key value` argument stays with the launch it was given.
struct LaunchActions {
    std::optional<QString> settingsTab;
    bool previewNotchHUD = false;

    bool operator==(const LaunchActions&) const = default;

    // The longest line a hand-over may be, its newline included: a longer one is refused unread.
    static constexpr qsizetype longestMessage = 4096;

    // Read from the command line the way the argument domain reads it.
    static LaunchActions fromArguments(const QStringList& arguments);

    // One line of the single-instance socket: "reopen" alone, or "launch" and the actions as
    // JSON. None for a line that is neither.
    QByteArray message() const;
    static std::optional<LaunchActions> fromMessage(const QByteArray& line);
};

} // namespace corvane
