#pragma once

#include "runtime/Time.h"

#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace corvane {

// One window as read from its program.
struct AXWindowSnapshot {
    uint32_t windowID = 0; // never 0
    int32_t pid = 0;
    QString title; // empty when unreadable
    QRectF frame;
    bool isMinimized = false;
    std::optional<QString> subrole;
    bool operator==(const AXWindowSnapshot&) const = default;
};

// What one sweep over several programs read.
struct AXSweepResult {
    std::set<int32_t> readablePIDs;
    std::vector<AXWindowSnapshot> windows;
    // From when a sweep of the same programs reads another set of them though none of their
    // windows changed: one found slow now is left out from the next sweep on, and one left out
    // is read again once its back-off ends. None while no back-off runs.
    std::optional<Instant> backOffTurns;
};

// A program's focused (else main) window.
struct AXFocusedWindow {
    int32_t pid = 0;
    std::optional<uint32_t> windowID;
    QRectF frame;
};

} // namespace corvane
