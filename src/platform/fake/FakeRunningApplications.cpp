#include "platform/fake/FakeRunningApplications.h"

namespace corvane {

std::optional<RunningApplication> FakeRunningApplications::application(int32_t pid) {
    ++lookups;
    const auto found = apps.find(pid);
    if (found == apps.end())
        return std::nullopt;
    return found->second;
}

std::vector<RunningApplication> FakeRunningApplications::runningApplications() {
    std::vector<RunningApplication> list;
    for (const auto& [pid, app] : apps)
        list.push_back(app);
    return list;
}

RunningApplication& FakeRunningApplications::add(int32_t pid, const QString& name,
                                                 std::optional<QString> bundleID) {
    RunningApplication app;
    app.pid = pid;
    app.localizedName = name;
    app.bundleID = std::move(bundleID);
    return apps[pid] = app;
}

} // namespace corvane
