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

    // Ends every fade begun so far, oldest first: its panel shows the fade's opacity, then its
    // completion runs. Fades begun by a completion wait for the next call.
    void completeAll();

    const std::vector<Fade>& pending() const { return m_pending; }

private:
    std::vector<Fade> m_pending;
};

} // namespace corvane
