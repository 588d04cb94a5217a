#pragma once

#include "core/SettingsEnums.h"
#include "platform/WindowCapture.h"
#include "runtime/FifoGate.h"
#include "runtime/Scheduler.h"
#include "windows/ThumbnailBox.h"
#include "windows/WindowInfo.h"

#include <QCoro/QCoroTask>
#include <QImage>
#include <QObject>
#include <QSizeF>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace corvane {

class Executor;
class PowerSource;
class Settings;
class SleepWake;

// Live pictures of the windows the strip shows, and a larger one of the window under the pointer
// for the hover preview. It decides what to recapture and when (the refresh timer, the faster
// hover timer, size and focus changes, waking), lets at most three captures run at once, and
// hands each window's picture out through one `ThumbnailBox` per window. The strip switches it
// on and off and tells it what is visible and hovered. Everything here runs on the main thread;
// only the capture layer's own work happens elsewhere.
class ThumbnailService : public QObject {
    Q_OBJECT
public:
    ThumbnailService(Settings& settings, WindowCapture& capture, PowerSource& power, SleepWake& sleepWake,
                     Scheduler& scheduler, Executor& background);
    ~ThumbnailService() override;

    // Pauses captures while the displays sleep (the machine asleep or the screen saver on) or
    // another user has the screen, and catches up when they come back. Called once at start-up.
    void installSleepObservers();
    void setActive(bool flag);
    void setVisible(std::vector<WindowInfo> windows);
    void setHovered(const WindowInfo& window);
    // No window is hovered any more; the last hover picture stays.
    void clearHover();

    // The window's box, made empty on first request. Asking never starts a capture.
    std::shared_ptr<ThumbnailBox> box(uint32_t windowID);
    std::optional<QImage> cachedImage(uint32_t windowID) const;

    void restartRefreshTimer();
    // Schedules the captures that are due. With a minimum age, every window whose last picture is
    // at least that old (or that has none) is due, whatever the usual thresholds say.
    void refreshTick(std::optional<double> minimumAge = std::nullopt);

    // The hover preview shows `hoverImage` while `hoverImageID` names its window.
    const std::optional<QImage>& hoverImage() const { return m_hoverImage; }
    std::optional<uint32_t> hoverImageID() const { return m_hoverImageID; }

    // Whether screen capture is allowed; by default the process-wide Screen Recording flag.
    std::function<bool()> canCapture;

    static constexpr int maxConcurrent = 3;
    // The box a small capture is fitted into, in logical pixels, and the one of hover captures.
    static QSizeF targetSize(ThumbnailSize size);
    static QSizeF hoverTargetSize() { return {960, 720}; }
    // The picture size for a window of `frame` fitted into `target`: proportions kept, never
    // enlarged more than twice, whole pixels, at least one on a side.
    static QSize captureSize(QSizeF frame, QSizeF target);
    // The seconds between refresh-timer firings: the stored interval clamped to 1...600.
    double timerInterval() const;
    // 2 on battery power or with power saving on: every age threshold doubles.
    double powerIntervalFactor() const;

    // State, for the strip and for tests.
    bool isActive() const { return m_isActive; }
    bool displaysAsleep() const { return m_displaysAsleep; }
    bool isObservingSleep() const { return m_observingSleep; }
    const std::vector<WindowInfo>& visible() const { return m_visible; }
    const std::optional<WindowInfo>& hovered() const { return m_hovered; }
    bool hasRefreshTimer() const { return m_timer.isValid(); }
    bool hasHoverTimer() const { return m_hoverTimer.isValid(); }
    int capturesInFlight() const { return static_cast<int>(m_inFlight.size()); }
    int runningCaptures() const { return m_gate.inUse(); }
    int waitingCaptures() const { return m_gate.waiting(); }

Q_SIGNALS:
    // `hoverImage` or `hoverImageID` changed.
    void hoverImageChanged();

private:
    // A window's size and focus when its last small picture was taken.
    struct Captured {
        QSizeF size;
        bool active = false;
        // The window's content version the picture shows; none where it is not known.
        std::optional<uint64_t> version;
    };

    // The refresh interval a non-finite stored value would break reads as the default.
    double refreshInterval() const;
    bool isCapturable(const WindowInfo& window) const { return !window.isMinimized && !window.isAppHidden; }
    // A picture exists but no longer matches the window's focus or size.
    bool hasChangedSinceCapture(const WindowInfo& window) const;
    // Whether what the window shows may differ from its last small picture; only where the
    // capture layer cannot tell, or tells of a change.
    bool mayShowOtherContent(uint32_t windowID);
    void setHoverImage(std::optional<QImage> image, uint32_t windowID);
    void scheduleCapture(const WindowInfo& window, bool hover);
    QCoro::Task<void> runCapture(WindowInfo window, bool hover, uint32_t key, QSizeF target);
    void storeSmallPicture(const WindowInfo& window, QImage picture, std::optional<uint64_t> version);

    // The capture layer: its list of capturable windows, cached, and one picture of a window.
    QCoro::Task<std::optional<CapturableWindow>> shareableWindow(uint32_t windowID);
    QCoro::Task<void> refreshContent();
    // A picture and the content version it shows.
    struct Picture {
        QImage image;
        std::optional<uint64_t> version;
    };
    QCoro::Task<std::optional<Picture>> captureWindow(uint32_t windowID, QSizeF target);

    Settings& m_settings;
    WindowCapture& m_capture;
    PowerSource& m_power;
    SleepWake& m_sleepWake;
    Scheduler& m_scheduler;
    Executor& m_background;

    std::map<uint32_t, std::shared_ptr<ThumbnailBox>> m_boxes;
    std::optional<QImage> m_hoverImage;
    std::optional<uint32_t> m_hoverImageID;
    std::map<uint32_t, Instant> m_stamps;
    std::map<uint32_t, Captured> m_captured;
    bool m_displaysAsleep = false;
    bool m_observingSleep = false;
    std::optional<ShareableContent> m_content;
    std::optional<Instant> m_contentStamp; // none: the distant past
    bool m_contentLoading = false;
    std::set<uint32_t> m_inFlight;
    FifoGate m_gate{maxConcurrent};
    TimerHandle m_timer;
    TimerHandle m_hoverTimer;
    std::vector<WindowInfo> m_visible;
    std::optional<WindowInfo> m_hovered;
    bool m_isActive = false;
    // Tasks suspended in the capture layer resume only while this lives.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace corvane
