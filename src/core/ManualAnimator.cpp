#include "core/ManualAnimator.h"

namespace corvane {

void ManualAnimator::fade(FloatingPanel& panel, double alpha, Seconds duration,
                          std::function<void()> completion) {
    panel.setFadeTarget(alpha);
    m_pending.push_back(Fade{QPointer<FloatingPanel>(&panel), alpha, duration, std::move(completion)});
}

void ManualAnimator::completeAll() {
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
