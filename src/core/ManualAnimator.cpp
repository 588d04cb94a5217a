#include "core/ManualAnimator.h"

#include <algorithm>
#include <cmath>

namespace corvane {

void ManualAnimator::fade(FloatingPanel& panel, double alpha, Seconds duration,
                          std::function<void()> completion) {
    panel.setFadeTarget(alpha);
    m_pending.push_back(Fade{QPointer<FloatingPanel>(&panel), alpha, panel.fadeDuration(duration, alpha),
                             std::move(completion)});
}

void ManualAnimator::move(FloatingPanel& panel, const QRect& frame, Seconds duration,
                          const QEasingCurve& curve, std::function<void()> completion) {
    stopMove(panel);
    m_moves.push_back(
        Move{QPointer<FloatingPanel>(&panel), panel.frame(), frame, duration, curve, std::move(completion)});
}

void ManualAnimator::stopMove(FloatingPanel& panel) {
    std::erase_if(m_moves, [&](Move& move) {
        if (move.panel && move.panel != &panel)
            return false;
        if (move.completion)
            m_endedMoves.push_back(std::move(move.completion));
        return true;
    });
}

void ManualAnimator::advanceMoves(Seconds elapsed) {
    for (const Move& move : m_moves) {
        if (!move.panel)
            continue;
        const double t = move.duration.count() > 0 ? std::clamp(elapsed / move.duration, 0.0, 1.0) : 1.0;
        const double p = move.curve.valueForProgress(t);
        const auto lerp = [p](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * p)); };
        move.panel->setFrame(
            QRect(QPoint(lerp(move.from.x(), move.frame.x()), lerp(move.from.y(), move.frame.y())),
                  QSize(lerp(move.from.width(), move.frame.width()),
                        lerp(move.from.height(), move.frame.height()))));
    }
}

void ManualAnimator::animate(QObject& target, const QByteArray& property, const QVariant& value,
                             const Motion& motion, std::function<void()> completion) {
    std::function<void()> replaced;
    std::erase_if(m_properties, [&](PropertyMotion& waiting) {
        if (waiting.target != &target || waiting.property != property)
            return false;
        replaced = std::move(waiting.completion);
        return true;
    });
    if (replaced) {
        completion = [replaced = std::move(replaced), completion = std::move(completion)] {
            replaced();
            if (completion)
                completion();
        };
    }
    m_properties.push_back(PropertyMotion{QPointer<QObject>(&target), property, target.property(property),
                                          value, motion, std::move(completion)});
}

void ManualAnimator::advanceProperties(double fraction) {
    for (const PropertyMotion& waiting : m_properties) {
        if (!waiting.target)
            continue;
        const double progress = waiting.motion.progressAt(waiting.motion.duration() * fraction);
        waiting.target->setProperty(waiting.property, valueBetween(waiting.from, waiting.to, progress));
    }
}

void ManualAnimator::completeAll() {
    std::vector<Move> moving;
    moving.swap(m_moves);
    std::vector<std::function<void()>> ended;
    ended.swap(m_endedMoves);
    for (const Move& move : moving) {
        if (move.panel)
            move.panel->setFrame(move.frame);
        if (move.completion)
            ended.push_back(move.completion);
    }
    for (const std::function<void()>& completion : ended)
        completion();
    std::vector<PropertyMotion> settling;
    settling.swap(m_properties);
    for (const PropertyMotion& waiting : settling)
        if (waiting.target)
            waiting.target->setProperty(waiting.property, waiting.to);
    for (const PropertyMotion& waiting : settling)
        if (waiting.completion)
            waiting.completion();
    std::vector<Fade> ending;
    ending.swap(m_pending);
    for (Fade& fade : ending) {
        if (fade.panel)
            fade.panel->setShownOpacity(fade.alpha);
        if (fade.completion)
            fade.completion();
    }
}

} // namespace corvane
