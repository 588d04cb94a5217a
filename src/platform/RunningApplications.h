#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace corvane {

// A running program as the desktop knows it. Its bundle identifier is its desktop-file id.
struct RunningApplication {
    int32_t pid = 0;
    std::optional<QString> bundleID;
    QString localizedName;
    bool regular = true; // has ordinary windows (not a panel, dock or background agent)
    bool isHidden = false;
    bool operator==(const RunningApplication&) const = default;
};

// The programs that own windows, which one is in front, and notifications when that changes.
// Main thread only; notifications are delivered on the main thread.
class RunningApplications : public QObject {
    Q_OBJECT
public:
    virtual std::optional<RunningApplication> application(int32_t pid) = 0;
    virtual std::vector<RunningApplication> runningApplications() = 0;
    virtual std::optional<int32_t> frontmostApplicationPID() = 0;
    // The program in front as the desktop has last reported it, taken from what the program
    // already keeps rather than asked afresh: for naming the program behind something that has
    // just happened (a copy) without delaying the work that follows.
    virtual std::optional<int32_t> reportedFrontmostApplicationPID() { return frontmostApplicationPID(); }
    // Brings the program forward: its topmost window becomes the active one. False when the
    // program has no window to bring forward.
    virtual bool activate(int32_t pid) = 0;
    // Hides the program: minimises its shown windows and remembers which.
    virtual void hide(int32_t pid) = 0;
    // Shows again the windows that hiding the program minimised.
    virtual void unhide(int32_t pid) = 0;

Q_SIGNALS:
    void applicationLaunched(int32_t pid);
    void applicationTerminated(int32_t pid);
    void applicationActivated(int32_t pid);
    void applicationHidden(int32_t pid);
    void applicationUnhidden(int32_t pid);
    void activeSpaceChanged();
};

} // namespace corvane
