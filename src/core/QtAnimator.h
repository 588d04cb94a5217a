#pragma once

#include "core/Animator.h"

#include <QObject>

namespace corvane {

// Fades, moves and property motions on Qt's animation clock.
class QtAnimator final : public QObject, public Animator {
    Q_OBJECT
public:
    explicit QtAnimator(QObject* parent = nullptr) : QObject(parent) {}

    void fade(FloatingPanel& panel, double alpha, Seconds duration,
              std::function<void()> completion = {}) override;
    void move(FloatingPanel& panel, const QRect& frame, Seconds duration, const QEasingCurve& curve,
              std::function<void()> completion = {}) override;
    void stopMove(FloatingPanel& panel) override;
    void animate(QObject& target, const QByteArray& property, const QVariant& value, const Motion& motion,
                 std::function<void()> completion = {}) override;

private:
    // Runs `completion` once `animation` is gone.
    void whenGone(QObject& animation, std::function<void()> completion);
};

} // namespace corvane
