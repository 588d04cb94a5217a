#include "sidebar/StripMotion.h"

#include "core/Animator.h"

#include <QPointer>
#include <QWidget>

namespace corvane::StripMotion {

void drive(Animator* animator, QObject& target, const char* property, double value, const Motion& motion) {
    animateOrSet(animator, target, property, value, motion);
}

void arrive(Animator& animator, QWidget& chip) {
    chip.setProperty("presence", 0.0);
    animator.animate(chip, "presence", 1.0, listChange());
}

void leave(Animator& animator, QWidget& chip, bool animated) {
    chip.setAttribute(Qt::WA_TransparentForMouseEvents);
    chip.setAcceptDrops(false);
    if (!animated) {
        chip.hide();
        chip.deleteLater();
        return;
    }
    animator.animate(chip, "presence", 0.0, listChange(), [going = QPointer<QWidget>(&chip)] {
        if (going)
            going->deleteLater();
    });
}

} // namespace corvane::StripMotion
