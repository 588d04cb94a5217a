#pragma once

#include "platform/RunningApplications.h"

#include <map>
#include <vector>

namespace corvane {

// Scripted running programs. The `emit…` methods deliver each notification as the desktop would.
class FakeRunningApplications final : public RunningApplications {
    Q_OBJECT
public:
    std::optional<RunningApplication> application(int32_t pid) override;
    std::vector<RunningApplication> runningApplications() override;
    std::optional<int32_t> frontmostApplicationPID() override { return frontmost; }
    bool activate(int32_t pid) override {
        activated.push_back(pid);
        return apps.contains(pid);
    }
    void hide(int32_t pid) override {
        hidden.push_back(pid);
        if (auto it = apps.find(pid); it != apps.end())
            it->second.isHidden = true;
    }
    void unhide(int32_t pid) override {
        unhidden.push_back(pid);
        if (auto it = apps.find(pid); it != apps.end())
            it->second.isHidden = false;
    }

    // Adds (or replaces) a regular program and returns it for further scripting.
    RunningApplication& add(int32_t pid, const QString& name, std::optional<QString> bundleID = std::nullopt);
    void remove(int32_t pid) { apps.erase(pid); }

    void emitLaunched(int32_t pid) { Q_EMIT applicationLaunched(pid); }
    void emitTerminated(int32_t pid) { Q_EMIT applicationTerminated(pid); }
    void emitActivated(int32_t pid) { Q_EMIT applicationActivated(pid); }
    void emitHidden(int32_t pid) { Q_EMIT applicationHidden(pid); }
    void emitUnhidden(int32_t pid) { Q_EMIT applicationUnhidden(pid); }
    void emitActiveSpaceChanged() { Q_EMIT activeSpaceChanged(); }

    std::map<int32_t, RunningApplication> apps;
    std::optional<int32_t> frontmost;
    int lookups = 0; // calls of application(pid)
    std::vector<int32_t> activated;
    std::vector<int32_t> unhidden;
    std::vector<int32_t> hidden;
};

} // namespace corvane
