#pragma once

#include "platform/ApplicationLauncher.h"

#include <QMap>

#include <functional>
#include <vector>

namespace corvane {

// Installed applications in memory. A launch is recorded and answered by `onLaunch` when set
// (which may add the program to the fake running applications), else with the next free pid.
class FakeApplicationLauncher final : public ApplicationLauncher {
public:
    struct Launch {
        QString location;
        QStringList documents;
        QStringList arguments;
    };

    std::optional<QString> locate(const QString& bundleID, const std::optional<QString>& path) override {
        if (path && existingPaths.contains(*path))
            return *path;
        if (const auto it = installed.find(bundleID); it != installed.end())
            return it.value();
        return std::nullopt;
    }
    std::optional<QString> programOfWindow(uint32_t windowID, int32_t) override {
        if (const auto it = programsByWindow.find(windowID); it != programsByWindow.end())
            return it.value();
        return std::nullopt;
    }
    Outcome launch(const QString& location, const QStringList& documents,
                   const QStringList& arguments) override {
        launches.push_back({location, documents, arguments});
        if (failures.contains(location))
            return {std::nullopt, failures.value(location)};
        if (onLaunch)
            return onLaunch(location);
        return {nextPid++, {}};
    }

    // Desktop-file id -> location of its entry.
    QMap<QString, QString> installed;
    QStringList existingPaths;
    // Window -> the executable that shows it.
    QMap<uint32_t, QString> programsByWindow;
    // Location -> error text for launches that fail.
    QMap<QString, QString> failures;
    std::function<Outcome(const QString& location)> onLaunch;
    int32_t nextPid = 9000;
    std::vector<Launch> launches;
};

} // namespace corvane
