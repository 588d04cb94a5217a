#include "runtime/QtScheduler.h"

#include <QPointer>
#include <QTimer>

namespace corvane {
namespace {

class QtTimerControl final : public TimerHandle::Control {
public:
    QtTimerControl(Seconds interval, Seconds tolerance, bool repeating, std::function<void()> fn)
        : m_fn(std::move(fn)), m_repeating(repeating) {
        m_timer = new QTimer();
        m_timer->setSingleShot(!repeating);
        // Qt's coarse timers may fire up to 5 % late, which is what a tolerance asks for.
        m_timer->setTimerType(tolerance.count() > 0 ? Qt::CoarseTimer : Qt::PreciseTimer);
        const double ms = interval.count() * 1000.0;
        m_timer->setInterval(static_cast<int>(std::min(ms, 2147483647.0)));
    }
    ~QtTimerControl() override { cancel(); }

    void start(const std::shared_ptr<QtTimerControl>& self) {
        std::weak_ptr<QtTimerControl> weak = self;
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [weak] {
            if (auto control = weak.lock())
                control->fire();
        });
        m_timer->start();
    }

    void cancel() override {
        m_fn = nullptr;
        if (m_timer) {
            m_timer->stop();
            m_timer->deleteLater();
            m_timer = nullptr;
        }
    }
    bool isActive() const override { return m_timer != nullptr; }

private:
    void fire() {
        if (!m_fn)
            return;
        if (m_repeating) {
            auto fn = m_fn; // the handler may invalidate its own timer
            fn();
            return;
        }
        auto fn = std::move(m_fn);
        cancel();
        fn();
    }

    std::function<void()> m_fn;
    QTimer* m_timer = nullptr;
    bool m_repeating;
};

} // namespace

QtScheduler::QtScheduler() {
    m_clock.start();
}

Instant QtScheduler::now() const {
    return std::chrono::nanoseconds(m_clock.nsecsElapsed());
}

QDateTime QtScheduler::wallNow() const {
    return QDateTime::currentDateTime();
}

TimerHandle QtScheduler::schedule(Seconds delay, std::function<void()> fn) {
    auto control = std::make_shared<QtTimerControl>(sanitizedDelay(delay), Seconds(0), false, std::move(fn));
    control->start(control);
    return TimerHandle(control);
}

TimerHandle QtScheduler::scheduleRepeating(Seconds interval, Seconds tolerance, std::function<void()> fn) {
    Seconds safe = sanitizedDelay(interval);
    if (safe.count() < minimumInterval)
        safe = Seconds(minimumInterval);
    auto control = std::make_shared<QtTimerControl>(safe, sanitizedDelay(tolerance), true, std::move(fn));
    control->start(control);
    return TimerHandle(control);
}

} // namespace corvane
