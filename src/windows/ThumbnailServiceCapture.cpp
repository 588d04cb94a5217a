// The thumbnail service's side of the capture layer: the cached list of capturable windows and
// one picture of one window. Called only from the service's capture tasks, on the main thread.
#include "windows/ThumbnailService.h"

#include "runtime/Executor.h"
#include "runtime/Log.h"

#include <coroutine>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace corvane {

namespace {

// A listing is reused this long while it knows the window asked for.
constexpr double kContentLifetime = 10.0;
// A listing younger than this is not reloaded for a window it lacks.
constexpr double kMissingWindowReload = 0.75;
constexpr Seconds kLoadPoll{0.02};

// Suspends the task until the capture layer answers through the handler `start` is given, and
// resumes it on the main thread. The layer may answer on any thread, or at once; once the
// service is gone, the task is left suspended.
template <typename Answer> class LayerAnswer {
public:
    using Start = std::function<void(std::function<void(Answer)>)>;

    LayerAnswer(Executor& mainThread, std::weak_ptr<int> alive, Start start)
        : m_mainThread(mainThread), m_alive(std::move(alive)), m_start(std::move(start)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        auto slot = m_slot;
        Executor* mainThread = &m_mainThread;
        std::weak_ptr<int> alive = m_alive;
        Start start = std::move(m_start);
        // The handler may resume the task before `start` returns: only locals from here on.
        start([slot, mainThread, alive, handle](Answer answer) {
            // A capture may finish on its worker after the service, and the executor it was
            // given, have gone at quit: then nobody waits for the answer.
            if (alive.expired())
                return;
            mainThread->deliver([slot, alive, handle, answer = std::move(answer)]() mutable {
                if (alive.expired() || slot->has_value())
                    return;
                *slot = std::move(answer);
                handle.resume();
            });
        });
    }
    Answer await_resume() { return std::move(**m_slot); }

private:
    Executor& m_mainThread;
    std::weak_ptr<int> m_alive;
    Start m_start;
    std::shared_ptr<std::optional<Answer>> m_slot = std::make_shared<std::optional<Answer>>();
};

// A pause on the scheduler that resumes the task only while the service lives.
class Pause {
public:
    Pause(Scheduler& scheduler, Seconds delay, std::weak_ptr<int> alive)
        : m_scheduler(scheduler), m_delay(delay), m_alive(std::move(alive)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        *m_timer = m_scheduler.schedule(m_delay, [handle, alive = m_alive] {
            if (!alive.expired())
                handle.resume();
        });
    }
    void await_resume() const noexcept {}

private:
    Scheduler& m_scheduler;
    Seconds m_delay;
    std::weak_ptr<int> m_alive;
    // Shared, since the task may keep a copy of the awaiter; the last copy cancels the timer.
    std::shared_ptr<TimerHandle> m_timer = std::make_shared<TimerHandle>();
};

} // namespace

QCoro::Task<std::optional<CapturableWindow>> ThumbnailService::shareableWindow(uint32_t windowID) {
    const double age = m_contentStamp
                           ? std::chrono::duration_cast<Seconds>(m_scheduler.now() - *m_contentStamp).count()
                           : std::numeric_limits<double>::infinity();
    const CapturableWindow* known = m_content ? m_content->find(windowID) : nullptr;
    if (known && age <= kContentLifetime)
        co_return *known;
    // A fresh listing that lacks the window is trusted for a moment rather than reloaded at once.
    if (!known && age <= kMissingWindowReload)
        co_return std::nullopt;
    co_await refreshContent();
    known = m_content ? m_content->find(windowID) : nullptr;
    co_return known ? std::optional<CapturableWindow>(*known) : std::nullopt;
}

QCoro::Task<void> ThumbnailService::refreshContent() {
    if (m_contentLoading) {
        // Another task loads: wait for its listing rather than asking for a second one.
        while (m_contentLoading) {
            Pause pause(m_scheduler, kLoadPoll, m_alive);
            co_await pause;
        }
        co_return;
    }
    m_contentLoading = true;
    WindowCapture* capture = &m_capture;
    const auto start = [capture](std::function<void(ContentAnswer)> done) {
        capture->loadShareableContent(std::move(done));
    };
    LayerAnswer<ContentAnswer> listing(m_background, m_alive, start);
    ContentAnswer answer = co_await listing;
    if (answer.content)
        m_content = std::move(answer.content);
    else
        qCCritical(lcThumbnails, "ShareableContent failed: %s", qPrintable(answer.error));
    // Stamped either way, so that neither a failure nor a missing window reloads at once.
    m_contentLoading = false;
    m_contentStamp = m_scheduler.now();
}

QCoro::Task<std::optional<ThumbnailService::Picture>> ThumbnailService::captureWindow(uint32_t windowID,
                                                                                      QSizeF target) {
    const std::optional<CapturableWindow> window = co_await shareableWindow(windowID);
    if (!window)
        co_return std::nullopt;
    if (window->frame.width() <= 1.0 || window->frame.height() <= 1.0)
        co_return std::nullopt;
    const QSize pixels = captureSize(window->frame.size(), target);
    WindowCapture* capture = &m_capture;
    const auto start = [capture, windowID, pixels](std::function<void(ImageAnswer)> done) {
        capture->captureImage(windowID, pixels, std::move(done));
    };
    LayerAnswer<ImageAnswer> request(m_background, m_alive, start);
    ImageAnswer answer = co_await request;
    if (!answer.image || answer.image->isNull()) {
        qCDebug(lcThumbnails, "Capture of %u failed: %s", windowID, qPrintable(answer.error));
        co_return std::nullopt;
    }
    co_return Picture{std::move(*answer.image), answer.contentVersion};
}

} // namespace corvane
