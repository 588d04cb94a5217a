#include "sidebar/StripMotion.h"

#include "core/Animator.h"

#include <QObject>

namespace corvane::StripMotion {

void drive(Animator* animator, QObject& target, const char* property, double value, const Motion& motion) {
    if (animator)
        animator->animate(target, QByteArray(property), value, motion);
    else
        target.setProperty(property, value);
}

} // namespace corvane::StripMotion
