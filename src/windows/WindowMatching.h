#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace corvane {

// One saved window to find again: its program and, when one was kept, a piece of its title.
struct MatchRequest {
    QString bundleID;
    std::optional<QString> titleContains;
    bool operator==(const MatchRequest&) const = default;
};

// One live window offered to the matching.
struct MatchCandidate {
    uint32_t windowID = 0;
    QString bundleID;
    QString title;
    bool operator==(const MatchCandidate&) const = default;
};

// The stable part of a window title worth saving: the last piece between separators that does
// not name the program, at most 60 characters; none when nothing is left.
std::optional<QString> titleHint(const QString& title, const QString& appName);

// Assigns live windows to saved ones: request position -> window. Title matches are served first,
// then the remaining requests take the first free window of their program. A window is given once.
std::map<int, uint32_t> matchWindows(const std::vector<MatchRequest>& requests,
                                     const std::vector<MatchCandidate>& candidates);

} // namespace corvane
