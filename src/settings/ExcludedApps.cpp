#include "settings/ExcludedApps.h"

#include "platform/ApplicationCatalog.h"

#include <algorithm>

namespace corvane {

std::vector<RunningApplication> addableApplications(const std::vector<RunningApplication>& running,
                                                    const QStringList& excluded, int32_t ownPID) {
    std::optional<QString> ownID;
    for (const RunningApplication& app : running)
        if (app.pid == ownPID)
            ownID = app.bundleID;
    std::vector<const RunningApplication*> kept;
    for (const RunningApplication& app : running) {
        if (!app.regular || !app.bundleID || app.bundleID->isEmpty() || app.pid == ownPID ||
            app.bundleID == ownID)
            continue;
        if (!excluded.contains(*app.bundleID))
            kept.push_back(&app);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const RunningApplication* a, const RunningApplication* b) {
        return a->localizedName.normalized(QString::NormalizationForm_D) <
               b->localizedName.normalized(QString::NormalizationForm_D);
    });
    std::vector<RunningApplication> offered;
    for (const RunningApplication* app : kept)
        offered.push_back(*app);
    return offered;
}

QString excludedAppName(ApplicationCatalog& catalog, const QString& bundleID) {
    const std::optional<QString> name = catalog.displayNameForBundleID(bundleID);
    if (!name)
        return bundleID;
    return QString(*name).remove(QStringLiteral(".app"));
}

QStringList withoutApp(QStringList excluded, const QString& bundleID) {
    excluded.removeAll(bundleID);
    return excluded;
}

} // namespace corvane
