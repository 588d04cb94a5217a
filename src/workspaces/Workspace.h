#pragma once

#include "snapping/LayoutPreset.h"

#include <QRectF>
#include <QString>
#include <QStringList>
#include <QUuid>

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
    QRectF relativeFrame; // fractions of the screen's usable area
    std::optional<QString> screenID;
    std::optional<QStringList> launchArgs;
};

// A saved set of windows, restored together.
struct Workspace {
    QUuid id;
    QString name;
    QString colorHex;
    std::optional<int> hotkeyIndex; // slot 1 to 9
    std::vector<WorkspaceItem> items;
    std::optional<LayoutPreset> layout;
};

} // namespace corvane
