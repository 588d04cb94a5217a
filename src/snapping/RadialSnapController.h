#pragma once

#include "core/SettingsEnums.h"
#include "platform/EventMonitors.h"
#include "platform/Screens.h"
#include "runtime/Cancellation.h"
#include "runtime/Scheduler.h"
#include "snapping/RadialModel.h"
#include "snapping/SnapAction.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace corvane {

class Animator;
class FloatingPanel;
class Settings;
class WorkArea;
struct Platform;
class SnapController;
class TargetCapture;

// The snap wheel: while the trigger key is held, a ring of eight sectors and a centre comes up at
// the pointer; moving away from its centre picks a direction, and releasing the trigger places
// one window (the focused one, or the one that was under the pointer) at that direction's snap
// frame. Escape cancels. A preview panel can show the frame the window would get meanwhile.
//
// A gesture goes idle -> armed when the trigger goes down, armed -> active when the hold delay
// passes or the pointer moves far enough, and back to idle when the trigger goes up (placing the
// window from active) or a key cancels. Only the trigger and key monitors live between gestures;
// the pointer monitors live for one gesture. The wheel never swallows an event. Main thread only.
class RadialSnapController final : public QObject {
    Q_OBJECT
public:
    enum class Phase { armed, active, idle };

    // How far the pointer must move from where the trigger went down to bring the ring up early.
    static constexpr double movementThreshold = 6;
    // Offsets no longer than this select the centre.
    static constexpr double deadZone = 14;

    // What the wheel works with: input monitors, screens and panels from the platform, the
    // preferences, time, fades, the area windows go in and the controller that places them.
    struct Services {
        Platform& platform;
        Settings& settings;
        Scheduler& scheduler;
        Animator& animator;
        const WorkArea& workArea;
        SnapController& snap;
    };

    explicit RadialSnapController(Services services);
    ~RadialSnapController() override;

    // Stops, then arms the wheel with the current trigger when it is enabled and window access
    // is granted.
    void start();
    // Removes every monitor and ends a gesture without placing anything.
    void stop();
    // Ends a gesture without placing anything.
    void reset();

    void handleFlagsChanged(const MonitoredEvent& event);
    void handleKeyDown(const MonitoredEvent& event);
    void handleMouseMoved(const MonitoredEvent& event);
    void handleLocalMouseMoved(const MonitoredEvent& event);

    // The frame the selected action would give a window whose frame is `current`, on the screen
    // of the selection; none when the selection has no action or there is no screen.
    std::optional<QRectF> previewFrame(std::optional<QRectF> current) const;
    // The action of the selected sector, or of the centre by the preference; none for a centre
    // without an action.
    std::optional<SnapAction> resolveAction() const;

    Phase phase() const { return m_phase; }
    // Where the pointer was when the trigger went down; none while idle.
    std::optional<QPointF> origin() const;
    RadialModel& model() { return m_model; }
    // Made on first use, then kept.
    FloatingPanel* ringPanel() const { return m_ringPanel.get(); }
    FloatingPanel* previewPanel() const { return m_previewPanel.get(); }
    bool isPreviewVisible() const { return m_previewVisible; }
    // The frame the preview shows, or is moving to.
    QRect previewTargetFrame() const { return m_previewTarget; }
    // How often start() ran.
    int startCount() const { return m_startCount; }

private:
    void keepMonitor(std::vector<EventMonitors::Handle>& list, std::optional<EventMonitors::Handle> handle);
    void installMouseMonitors();
    void removeMouseMonitors();
    QCoro::Task<void> waitHoldDelay(QPointF origin, CancellationToken token);
    void showRing(QPointF origin);
    void updateSelection(bool force, QPointF origin);
    void updatePreview();
    QCoro::Task<void> refreshPreview(std::shared_ptr<TargetCapture> capture);
    void showPreview(const QRectF& rect, std::optional<QRectF> current);
    void movePreview(const QRect& frame, Seconds duration);
    void hidePreview();
    void hideRing();
    void commit();
    QCoro::Task<void> place(SnapAction action, std::shared_ptr<TargetCapture> capture,
                            std::optional<ScreenInfo> screen);
    static QCoro::Task<void> captureTarget(SnapController& snap, RadialTarget which,
                                           std::shared_ptr<TargetCapture> capture);
    QColor accentColor() const;
    void performHapticFeedback() const;
    FloatingPanel& ensureRingPanel();
    FloatingPanel& ensurePreviewPanel();

    Services m_services;
    Phase m_phase = Phase::idle;
    QPointF m_origin;
    std::vector<EventMonitors::Handle> m_monitors;
    std::vector<EventMonitors::Handle> m_mouseMonitors;
    bool m_reservesFunctionKey = false;
    TaskSlot m_armTask;
    std::shared_ptr<TargetCapture> m_targetTask;
    std::optional<ScreenInfo> m_lastScreen;
    // Before the panels, whose ring view draws it: the panels go first.
    RadialModel m_model;
    std::unique_ptr<FloatingPanel> m_ringPanel;
    std::unique_ptr<FloatingPanel> m_previewPanel;
    std::optional<std::pair<PanelStyle, AccentChoice>> m_previewStyle;
    bool m_previewVisible = false;
    bool m_ringVisible = false;
    TimerHandle m_appearance;
    QRect m_previewTarget;
    int m_startCount = 0;
};

} // namespace corvane
