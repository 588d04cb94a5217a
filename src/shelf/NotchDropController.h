#pragma once

#include "platform/EventMonitors.h"
#include "runtime/Cancellation.h"
#include "runtime/Scheduler.h"
#include "shelf/FileIconCache.h"
#include "shelf/NotchDropModel.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

class Animator;

class DragSource;
class FileShelf;
class FloatingPanel;
class PanelWindowing;
class Screens;
class Settings;
struct ScreenInfo;

// Opens the Tray's file panel under an anchor; the application implements it.
class TrayPopoverOpener {
public:
    virtual ~TrayPopoverOpener() = default;
    virtual void showTrayPopover(const QRectF& anchor) = 0;
};

// The drop shelf under a camera notch: while files are dragged anywhere, a card unfolds from the
// notch; files let go over it go to the Tray (or, where the desktop can send files to nearby
// devices, over its left half, there). At rest a click on the notch opens the Tray's panel.
// Nothing is installed on a desktop without a notched screen. Main thread.
class NotchDropController : public QObject {
    Q_OBJECT
public:
    struct Services {
        Settings& settings;
        Screens& screens;
        Scheduler& scheduler;
        PanelWindowing& windowing;
        Animator& animator;
        EventMonitors* monitors;
        DragSource& drags;
        FileShelf& files;
        TrayPopoverOpener& trayOpener;
        // Sends files to a nearby device; unset where the desktop has no such service, and then
        // the card offers only the Tray.
        std::function<void(const QList<QUrl>&)> shareNearby;
        // The icons of delivered files; by default the desktop's icons by file type.
        FileIconCache::Provider icons;
    };

    static constexpr Seconds releaseWatchInterval{0.1};
    static constexpr Seconds releaseHideDelay{0.15};
    static constexpr Seconds confirmationTime{1.6};
    static constexpr Seconds collapseDelay{0.32};
    static constexpr double hitMargin = 6;

    explicit NotchDropController(Services services, QObject* parent = nullptr);
    ~NotchDropController() override;

    // Tears down what the previous call installed, then installs the monitors and the panel at
    // rest when the shelf is on and a screen has a notch.
    void start();

    // From the card's views: targeting and pointer moves, drops, clicks.
    void updateZone(bool inside, QPointF point);
    void deliver(const QList<QUrl>& urls, DropZone zone);
    void notchClicked();

    NotchDropModel& model() { return m_model; }
    FloatingPanel* panel() const { return m_panel.get(); }
    bool isDragActive() const { return m_dragActive; }
    int monitorCount() const { return int(m_monitors.size()); }
    DropZone zoneAt(double x) const;

private:
    void installClickPanel(const QRectF& notch);
    void mouseDown();
    void mouseDragged();
    void dragStarted();
    void showDropPanel();
    void releaseWatchFired();
    void finishDrag();
    bool pointerInside() const;
    void hide();
    QCoro::Task<void> hideAfter(Seconds delay, CancellationToken token);
    std::optional<QRectF> currentNotch(ScreenInfo* screen = nullptr) const;

    Services m_services;
    NotchDropModel m_model;
    FileIconCache m_iconCache;
    std::unique_ptr<FloatingPanel> m_panel;
    std::vector<EventMonitors::Handle> m_monitors;
    qint64 m_dragChangeCount = 0;
    bool m_dragActive = false;
    bool m_droppedThisDrag = false;
    TaskSlot m_hideTask;
    TimerHandle m_releaseWatch;
    TimerHandle m_releaseCheck;
    TimerHandle m_collapse;
};

} // namespace corvane
