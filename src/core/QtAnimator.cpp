#include "core/QtAnimator.h"

#include "core/FloatingPanel.h"

#include <QPropertyAnimation>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
const QString fadeName = QStringLiteral("corvane-fade");
const QString moveName = QStringLiteral("corvane-move");

// A property animation whose progress follows a `Motion`, springs included: Qt's easing curves
// cannot carry a spring's parameters.
class MotionAnimation final : public QPropertyAnimation {
public:
    MotionAnimation(QObject* target, const QByteArray& property, const Motion& motion)
        : QPropertyAnimation(target, property, target), m_motion(motion) {}

protected:
    QVariant interpolated(const QVariant& from, const QVariant& to, qreal progress) const override {
        return valueBetween(from, to, m_motion.progressAt(m_motion.duration() * progress));
    }

private:
    Motion m_motion;
};

QString motionName(const QByteArray& property) {
    return QStringLiteral("corvane-motion-") + QString::fromLatin1(property);
}
} // namespace

void QtAnimator::fade(FloatingPanel& panel, double alpha, Seconds duration,
                      std::function<void()> completion) {
    // A running fade stops where it is; its completion still runs, once it is gone.
    if (auto* running = panel.findChild<QPropertyAnimation*>(fadeName, Qt::FindDirectChildrenOnly)) {
        running->setObjectName(QString());
        running->stop();
    }
    panel.setFadeTarget(alpha);

    // The animation belongs to the panel and goes with it.
    auto* animation = new QPropertyAnimation(&panel, "shownOpacity", &panel);
    animation->setObjectName(fadeName);
    animation->setStartValue(panel.shownOpacity());
    animation->setEndValue(alpha);
    const double ms = sanitizedDelay(panel.fadeDuration(duration, alpha)).count() * 1000.0;
    animation->setDuration(static_cast<int>(std::lround(std::min(ms, 3'600'000.0))));
    whenGone(*animation, std::move(completion));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void QtAnimator::whenGone(QObject& animation, std::function<void()> completion) {
    if (!completion)
        return;
    // Queued, so the completion never runs inside a newer animation's call or while the panel is
    // being torn down.
    connect(
        &animation, &QObject::destroyed, this, [completion = std::move(completion)] { completion(); },
        Qt::QueuedConnection);
}

void QtAnimator::move(FloatingPanel& panel, const QRect& frame, Seconds duration, const QEasingCurve& curve,
                      std::function<void()> completion) {
    stopMove(panel);
    // The animation belongs to the panel and goes with it.
    auto* animation = new QPropertyAnimation(&panel, "frame", &panel);
    animation->setObjectName(moveName);
    const double ms = sanitizedDelay(duration).count() * 1000.0;
    animation->setDuration(static_cast<int>(std::lround(std::min(ms, 60'000.0))));
    animation->setStartValue(panel.frame());
    animation->setEndValue(frame);
    animation->setEasingCurve(curve);
    whenGone(*animation, std::move(completion));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void QtAnimator::stopMove(FloatingPanel& panel) {
    if (auto* running = panel.findChild<QPropertyAnimation*>(moveName, Qt::FindDirectChildrenOnly)) {
        running->setObjectName(QString());
        running->stop();
    }
}

void QtAnimator::animate(QObject& target, const QByteArray& property, const QVariant& value,
                         const Motion& motion, std::function<void()> completion) {
    const QString name = motionName(property);
    if (auto* running = target.findChild<QPropertyAnimation*>(name, Qt::FindDirectChildrenOnly)) {
        running->setObjectName(QString());
        running->stop();
    }
    // The animation belongs to the target and goes with it.
    auto* animation = new MotionAnimation(&target, property, motion);
    animation->setObjectName(name);
    const double ms = sanitizedDelay(motion.duration()).count() * 1000.0;
    animation->setDuration(static_cast<int>(std::lround(std::min(ms, 60'000.0))));
    animation->setStartValue(target.property(property));
    animation->setEndValue(value);
    whenGone(*animation, std::move(completion));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace corvane
