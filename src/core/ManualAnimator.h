#pragma once

#include "core/Animator.h"
#include "core/FloatingPanel.h"

#include <QPointer>

#include <vector>

namespace corvane {

// Fades for tests: each one waits, its target already set, until the test ends it.
class ManualAnimator final : public Animator {
public:
    struct Fade {
        QPointer<FloatingPanel> panel;
        double alpha = 0;
        Seconds duration{0};
        std::function<void()> completion;
    };

    void fade(FloatingPanel& panel, double alpha, Seconds duration,
              std::function<void()> completion = {}) override;
    // Moves wait like fades; a newer move or stopMove of the same panel ends the older one where it
    // stands (its completion runs at the next `completeAll`).
    void move(FloatingPanel& panel, const QRect& frame, Seconds duration, const QEasingCurve& curve,
              std::function<void()> completion = {}) override;
    void stopMove(FloatingPanel& panel) override;
    // Property motions wait too, the property left where it was until the test moves it on. A
    // newer motion of the same property takes the older one's place (and its completion).
    void animate(QObject& target, const QByteArray& property, const QVariant& value, const Motion& motion,
                 std::function<void()> completion = {}) override;

    struct Move {
        QPointer<FloatingPanel> panel;
        QRect from;
        QRect frame;
        Seconds duration{0};
        QEasingCurve curve;
        std::function<void()> completion;
    };
    struct PropertyMotion {
        QPointer<QObject> target;
        QByteArray property;
        QVariant from;
        QVariant to;
        Motion motion;
        std::function<void()> completion;
    };

    // Sets every waiting property to where its motion stands at `fraction` of its duration,
    // without ending it: a frame in the middle of the motion.
    void advanceProperties(double fraction);
    // Puts every moving panel where its move stands at `elapsed` from its start, without ending it.
    void advanceMoves(Seconds elapsed);
    // Ends every move, each panel standing on its frame (completions of moves ended earlier run
    // too), then every property motion, each property
    // on its target, then every fade begun so far, oldest first: its panel shows the fade's
    // opacity, then its completion runs. Fades and motions begun by a completion wait for the next
    // call.
    void completeAll();

    const std::vector<Fade>& pending() const { return m_pending; }
    const std::vector<Move>& pendingMoves() const { return m_moves; }
    const std::vector<PropertyMotion>& pendingProperties() const { return m_properties; }

private:
    std::vector<Fade> m_pending;
    std::vector<Move> m_moves;
    std::vector<PropertyMotion> m_properties;
    // Completions of moves that were replaced or stopped, run at the next `completeAll`.
    std::vector<std::function<void()>> m_endedMoves;
};

} // namespace corvane
