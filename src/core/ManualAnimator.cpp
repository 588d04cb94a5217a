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

void ManualAnimator::completeAll() {
    std::vector<Move> moving;
    moving.swap(m_moves);
    for (const Move& move : moving)
        if (move.panel)
            move.panel->setGeometry(move.frame);
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
