#pragma once

#include "core/LayoutPreset.h"
#include "snapping/SnapAction.h"

#include <QCoro/QCoroTask>
#include <QRectF>

#include <cstdint>
#include <map>
#include <optional>

namespace corvane {

class AXWindowService;
class Executor;
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

private:
    std::optional<Target> ownWindowTarget() const;

    AXWindowService& m_ax;
    Settings& m_settings;
    Services m_services;
    std::map<uint32_t, QRectF> m_originalFrames;
};

} // namespace corvane
