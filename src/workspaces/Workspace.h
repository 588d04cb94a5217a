#pragma once

#include "core/LayoutPreset.h"

#include <QRectF>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <array>
#include <optional>
#include <vector>

namespace corvane {

// One saved window of a workspace.
struct WorkspaceItem {
    QUuid id;
    QString bundleID;
    std::optional<QString> appName;
    std::optional<QString> appPath;
    std::optional<QString> titleContains;
    QRectF relativeFrame; // fractions of the screen's usable area, top-left origin
    std::optional<QString> screenID;
    std::optional<QStringList> launchArgs;

    bool operator==(const WorkspaceItem&) const = default;
};

// A saved set of windows, restored together.
struct Workspace {
    QUuid id;
    QString name;
    QString colorHex;
    std::optional<int> hotkeyIndex; // slot 1 to 9
    std::vector<WorkspaceItem> items;
    std::optional<LayoutPreset> layout;

    bool operator==(const Workspace&) const = default;

    // The chip's badge: the first letters of the first two words, or the first two characters of
    // a single word (of the whole name when it has no word), upper-cased.
    QString initials() const;
};

// The colours offered for workspaces, in order; new workspaces take them in turn.
const std::array<QString, 9>& workspacePalette();

// Keeps a unit rectangle inside the unit square, with sides between 0.05 and 1.
QRectF clampUnitRect(const QRectF& rect);

// `frame` as fractions of `reference`, clamped; the zero rectangle when the reference has no area.
QRectF relativeUnitRect(const QRectF& frame, const QRectF& reference);

} // namespace corvane
