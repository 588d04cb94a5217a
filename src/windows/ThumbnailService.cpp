#include "windows/ThumbnailService.h"

#include "core/PermissionManager.h"
#include "core/SettingKeys.h"
#include "platform/PowerSource.h"
#include "platform/SleepWake.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// Hover captures are told apart from small ones by the top bit, which window ids never use.
constexpr uint32_t kHoverKeyBit = 1u << 31;
constexpr double kDefaultRefreshInterval = 3.0;
constexpr double kHoverInterval = 0.5;
constexpr double kSizeSlack = 2.0;
constexpr double kWakeMinimumAge = 0.5;

std::set<uint32_t> windowIDs(const std::vector<WindowInfo>& windows) {
    std::set<uint32_t> ids;
    for (const WindowInfo& window : windows)
        ids.insert(window.windowID);
    return ids;
}

} // namespace

ThumbnailService::ThumbnailService(Settings& settings, WindowCapture& capture, PowerSource& power,
                                   SleepWake& sleepWake, Scheduler& scheduler, Executor& background)
    : canCapture([] { return PermissionManager::cachedScreenRecording(); }), m_settings(settings),
      m_capture(capture), m_power(power), m_sleepWake(sleepWake), m_scheduler(scheduler),
      m_background(background) {}

ThumbnailService::~ThumbnailService() = default;

QSizeF ThumbnailService::targetSize(ThumbnailSize size) {
    switch (size) {
    case ThumbnailSize::small:
        return {153.6, 153.6};
    case ThumbnailSize::medium:
        return {211.2, 211.2};
    case ThumbnailSize::large:
        return {288.0, 288.0};
    }
    return {211.2, 211.2};
}

QSize ThumbnailService::captureSize(QSizeF frame, QSizeF target) {
    const double scale = std::min({target.width() / frame.width(), target.height() / frame.height(), 2.0});
    // Truncated, as a picture of whole pixels that fits the box must be.
    const int width = static_cast<int>(frame.width() * scale);
    const int height = static_cast<int>(frame.height() * scale);
    return {std::max(width, 1), std::max(height, 1)};
}

double ThumbnailService::refreshInterval() const {
    const double stored = m_settings.refreshInterval();
    return std::isfinite(stored) ? stored : kDefaultRefreshInterval;
}

double ThumbnailService::timerInterval() const {
    return SettingRanges::refreshInterval.bound(refreshInterval());
}

double ThumbnailService::powerIntervalFactor() const {
    return m_power.isPowerSaverOn() || m_power.isOnBattery() ? 2.0 : 1.0;
}

void ThumbnailService::installSleepObservers() {
    if (m_observingSleep)
        return;
    m_observingSleep = true;
    // Connected with this as the context: nothing arrives once the service is gone.
    const auto asleep = [this] { m_displaysAsleep = true; };
    const auto awake = [this] {
        m_displaysAsleep = false;
        refreshTick(kWakeMinimumAge);
    };
    connect(&m_sleepWake, &SleepWake::displaysDidSleep, this, asleep);
    connect(&m_sleepWake, &SleepWake::displaysDidWake, this, awake);
    connect(&m_sleepWake, &SleepWake::sessionDidResignActive, this, asleep);
    connect(&m_sleepWake, &SleepWake::sessionDidBecomeActive, this, awake);
}

void ThumbnailService::setActive(bool flag) {
    if (flag == m_isActive)
        return;
    m_isActive = flag;
    if (flag) {
        restartRefreshTimer();
        refreshTick();
        return;
    }
    m_timer.invalidate();
    clearHover();
}

void ThumbnailService::restartRefreshTimer() {
    m_timer.invalidate();
    if (!m_isActive)
        return;
    const double interval = timerInterval();
    // The timer belongs to the service and goes with it.
    m_timer =
        m_scheduler.scheduleRepeating(Seconds(interval), Seconds(0.25 * interval), [this] { refreshTick(); });
}

bool ThumbnailService::hasChangedSinceCapture(const WindowInfo& window) const {
    const auto it = m_captured.find(window.windowID);
    if (it == m_captured.end())
        return false;
    const Captured& last = it->second;
    return last.active != window.isActive ||
           std::abs(last.size.width() - window.frame.width()) > kSizeSlack ||
           std::abs(last.size.height() - window.frame.height()) > kSizeSlack;
}

void ThumbnailService::refreshTick(std::optional<double> minimumAge) {
    if (!m_isActive || m_displaysAsleep || !m_settings.showThumbnails() || !canCapture())
        return;
    const double base = std::max(refreshInterval() - 0.25, 0.75);
    const double factor = powerIntervalFactor();
    const Instant now = m_scheduler.now();
    // A copy: a finished capture notifies observers, which may hand over a new list meanwhile.
    const std::vector<WindowInfo> windows = m_visible;
    for (const WindowInfo& window : windows) {
        if (!isCapturable(window))
            continue;
        // Windows other than the active one are refreshed four times less often.
        const double threshold = minimumAge ? *minimumAge : factor * base * (window.isActive ? 1.0 : 4.0);
        const auto stamp = m_stamps.find(window.windowID);
        const bool old = stamp == m_stamps.end() ||
                         std::chrono::duration_cast<Seconds>(now - stamp->second).count() >= threshold;
        // A window whose content has not changed since its last picture is not captured again.
        const bool due = old && (minimumAge || mayShowOtherContent(window.windowID));
        if (due || hasChangedSinceCapture(window))
            scheduleCapture(window, false);
    }
}

bool ThumbnailService::mayShowOtherContent(uint32_t windowID) {
    const auto captured = m_captured.find(windowID);
    if (captured == m_captured.end() || !captured->second.version)
        return true;
    return m_capture.contentVersion(windowID) != captured->second.version;
}

void ThumbnailService::setVisible(std::vector<WindowInfo> windows) {
    const std::set<uint32_t> ids = windowIDs(windows);
    // A different set of windows may hold one the cached listing does not know yet.
    if (ids != windowIDs(m_visible))
        m_contentStamp.reset();
    m_visible = std::move(windows);

    const bool stale = std::any_of(m_boxes.begin(), m_boxes.end(),
                                   [&](const auto& entry) { return !ids.contains(entry.first); });
    if (stale) {
        std::erase_if(m_boxes, [&](const auto& entry) { return !ids.contains(entry.first); });
        std::erase_if(m_stamps, [&](const auto& entry) { return !ids.contains(entry.first); });
        std::erase_if(m_captured, [&](const auto& entry) { return !ids.contains(entry.first); });
    }

    if (!m_isActive || m_visible.empty() || m_displaysAsleep)
        return;
    // The age of the last picture plays no part here: only missing pictures and changes count.
    const std::vector<WindowInfo> visible = m_visible;
    for (const WindowInfo& window : visible) {
        if (!isCapturable(window))
            continue;
        const auto found = m_boxes.find(window.windowID);
        const bool missing = found == m_boxes.end() || !found->second->image();
        if (missing || hasChangedSinceCapture(window))
            scheduleCapture(window, false);
    }
}

void ThumbnailService::setHoverImage(std::optional<QImage> image, uint32_t windowID) {
    m_hoverImage = std::move(image);
    m_hoverImageID = windowID;
    Q_EMIT hoverImageChanged();
}

void ThumbnailService::setHovered(const WindowInfo& window) {
    m_hovered = window;
    // Until its own hover picture arrives, the preview shows the window's small one.
    if (m_hoverImageID != window.windowID)
        setHoverImage(cachedImage(window.windowID), window.windowID);
    m_hoverTimer.invalidate();
    if (!m_isActive || !isCapturable(window))
        return;
    scheduleCapture(window, true);
    m_hoverTimer = m_scheduler.scheduleRepeating(Seconds(kHoverInterval), Seconds(0), [this] {
        if (m_hovered)
            scheduleCapture(*m_hovered, true);
    });
}

void ThumbnailService::clearHover() {
    m_hoverTimer.invalidate();
    m_hovered.reset();
}

std::shared_ptr<ThumbnailBox> ThumbnailService::box(uint32_t windowID) {
    std::shared_ptr<ThumbnailBox>& slot = m_boxes[windowID];
    if (!slot)
        slot = std::make_shared<ThumbnailBox>();
    return slot;
}

std::optional<QImage> ThumbnailService::cachedImage(uint32_t windowID) const {
    const auto it = m_boxes.find(windowID);
    return it == m_boxes.end() ? std::nullopt : it->second->image();
}

void ThumbnailService::scheduleCapture(const WindowInfo& window, bool hover) {
    if (!m_settings.showThumbnails() || !canCapture())
        return;
    const uint32_t key = hover ? (window.windowID | kHoverKeyBit) : window.windowID;
    // One capture of each kind per window at a time.
    if (!m_inFlight.insert(key).second)
        return;
    const QSizeF target = hover ? hoverTargetSize() : targetSize(m_settings.thumbnailSize());
    // The task runs on by itself; it ends by taking its key out of `m_inFlight`.
    runCapture(window, hover, key, target);
}

QCoro::Task<void> ThumbnailService::runCapture(WindowInfo window, bool hover, uint32_t key, QSizeF target) {
    GatePermit permit = co_await m_gate.acquire();
    // Switched off while this waited for its turn.
    if (!m_isActive) {
        permit.release();
        m_inFlight.erase(key);
        co_return;
    }
    std::optional<Picture> picture = co_await captureWindow(window.windowID, target);
    if (picture) {
        // One pixel of the picture is one logical pixel of the strip.
        picture->image.setDevicePixelRatio(1.0);
        if (!hover)
            storeSmallPicture(window, std::move(picture->image), picture->version);
        else if (m_hovered && m_hovered->windowID == window.windowID)
            setHoverImage(std::move(picture->image), window.windowID);
        // A hover picture of a window no longer hovered is dropped.
    }
    permit.release();
    m_inFlight.erase(key);
}

void ThumbnailService::storeSmallPicture(const WindowInfo& window, QImage picture,
                                         std::optional<uint64_t> version) {
    // What the strip lists now says more about the window than the copy taken at the start.
    const auto current = std::find_if(m_visible.begin(), m_visible.end(), [&](const WindowInfo& shown) {
        return shown.windowID == window.windowID;
    });
    const WindowInfo& record = current != m_visible.end() ? *current : window;
    m_stamps[window.windowID] = m_scheduler.now();
    m_captured[window.windowID] = {record.frame.size(), record.isActive, version};
    // Last, so that an observer of the box already sees the stamps. A window that left the list
    // meanwhile gets a box again.
    box(window.windowID)->setImage(std::move(picture));
}

} // namespace corvane
