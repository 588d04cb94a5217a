#pragma once

#include "core/LayoutPreset.h"
#include "runtime/Scheduler.h"
#include "snapping/SnapAction.h"
#include "snapping/SnapPlan.h"

#include <QCoro/QCoroTask>
#include <QRectF>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace corvane {

class AXWindowService;
class Executor;
class Scheduler;
class Settings;
class WindowService;
class WorkArea;
struct Platform;

// Carries out every placement the user asks for: snapping the front window, putting a window
// back where it was before its first placement, and tiling the windows of a screen.
class SnapController {
public:
    // The window an operation acts on, as it was when taken.
    struct Target {
        int32_t pid = 0;
        std::optional<uint32_t> windowID;
        QRectF frame;
    };

    // What placing windows reads: the pointer, screens and programs, the window list, the
    // background queue for its look-ups and the area windows go in.
    struct Services {
        Platform& platform;
        WindowService& windows;
        Executor& background;
        const WorkArea& workArea;
        // Times the read-back of where a window settled after a placement.
        Scheduler& scheduler;
    };

    SnapController(AXWindowService& ax, Settings& settings, Services services)
        : m_ax(ax), m_settings(settings), m_services(services) {}

    QCoro::Task<void> snap(SnapAction action);
    QCoro::Task<void> restore();
    QCoro::Task<void> tileScreen(LayoutPreset preset);
    // The front program's focused window.
    QCoro::Task<std::optional<Target>> resolveTarget();
    // The topmost window under the pointer, other than the product's own.
    QCoro::Task<std::optional<Target>> targetUnderCursor();
    // Moves the target, remembering its frame from before its first placement.
    QCoro::Task<void> place(Target target, QRectF frame);

    const std::map<uint32_t, QRectF>& originalFrames() const { return m_originalFrames; }
    // Where the window stood when read back after our latest placement of it; none until then.
    std::optional<QRectF> settledFrame(uint32_t windowID) const {
        const auto found = m_placements.find(windowID);
        return found == m_placements.end() ? std::nullopt : found->second.settled;
    }

    // How long after a placement the window's frame is read back: programs that size in steps
    // (terminals in character cells) settle short of the frame asked for.
    static constexpr double settleDelay = 0.3;

private:
    // Our latest placement of a window, with the timer that reads back where it settled.
    struct Placement : PlacementRecord {
        TimerHandle readBack;
    };

    std::optional<Target> ownWindowTarget() const;
    // What the snap goes by, read here on the main thread.
    SnapPlan planSnap() const;
    void noteOriginalFrame(const Target& target);
    void notePlacement(const Target& target, const QRectF& asked);
    QCoro::Task<void> readSettledFrame(Target target, QRectF asked);

    AXWindowService& m_ax;
    Settings& m_settings;
    Services m_services;
    std::map<uint32_t, QRectF> m_originalFrames;
    std::map<uint32_t, Placement> m_placements;
    // Read-backs that finish after the controller went find it gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace corvane
