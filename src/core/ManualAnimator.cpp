#include "core/ManualAnimator.h"

namespace corvane {

void ManualAnimator::fade(FloatingPanel& panel, double alpha, Seconds duration,
                          std::function<void()> completion) {
    panel.setFadeTarget(alpha);
    m_pending.push_back(Fade{QPointer<FloatingPanel>(&panel), alpha, duration, std::move(completion)});
}

void ManualAnimator::move(FloatingPanel& panel, const QRect& frame, Seconds duration,
                          const QEasingCurve& curve) {
    Q_UNUSED(duration);
    Q_UNUSED(curve);
    stopMove(panel);
    m_moves.push_back(Move{QPointer<FloatingPanel>(&panel), frame});
}

void ManualAnimator::stopMove(FloatingPanel& panel) {
    std::erase_if(m_moves, [&panel](const Move& move) { return !move.panel || move.panel == &panel; });
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
    for (const Move& move : moving)
        if (move.panel)
            move.panel->setGeometry(move.frame);
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
            fade.panel->setWindowOpacity(fade.alpha);
        if (fade.completion)
            fade.completion();
    }
}

} // namespace corvane
