#include "sidebar/ListMotion.h"

#include "core/Animator.h"
#include "sidebar/StripMotion.h"
#include "sidebar/ThumbnailCell.h"

#include <QPointer>

namespace corvane {

namespace {
constexpr double arrivalScale = 0.8;
} // namespace

void ListMotion::arrive(ThumbnailCell& cell) {
    m_arriving.insert(&cell);
}

void ListMotion::leave(ThumbnailCell& cell, bool animated) {
    m_targets.erase(&cell);
    m_arriving.erase(&cell);
    cell.setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!animated) {
        cell.hide();
        cell.deleteLater();
        return;
    }
    // Those staying are drawn over the one going.
    cell.lower();
    m_animator.animate(cell, "presence", 0.0, StripMotion::listChange(),
                       [going = QPointer<ThumbnailCell>(&cell)] {
                           if (going)
                               going->deleteLater();
                       });
}

void ListMotion::place(ThumbnailCell& cell, const QRect& frame, bool animated) {
    const bool arriving = m_arriving.erase(&cell) > 0;
    const auto known = m_targets.find(&cell);
    const bool moved = known == m_targets.end() || known->second.topLeft() != frame.topLeft();
    m_targets[&cell] = frame;
    if (!animated || arriving) {
        cell.setGeometry(frame);
        if (animated) {
            cell.setPresence(0);
            cell.setArrivalScale(arrivalScale);
            m_animator.animate(cell, "presence", 1.0, StripMotion::listChange());
            m_animator.animate(cell, "arrivalScale", 1.0, StripMotion::listChange());
        }
        return;
    }
    cell.resize(frame.size());
    if (moved)
        m_animator.animate(cell, "pos", frame.topLeft(), StripMotion::listChange());
}

QRect ListMotion::target(const ThumbnailCell& cell) const {
    const auto it = m_targets.find(&cell);
    return it == m_targets.end() ? QRect() : it->second;
}

} // namespace corvane
