#pragma once

#include <QRect>

#include <map>
#include <set>

namespace corvane {

class Animator;
class ThumbnailCell;

// The window list's motion: a new cell fades in and grows from 0.8 about its centre, a cell whose
// window went fades out where it stands, and a cell whose place changed slides there, all on one
// spring. It remembers where each cell is going, so the pointer can be matched against that
// rather than against where the cell is drawn mid-way.
class ListMotion {
public:
    explicit ListMotion(Animator& animator) : m_animator(animator) {}

    // A cell just made; it appears where it is first placed.
    void arrive(ThumbnailCell& cell);
    // A cell whose window left the list: it no longer takes the pointer, fades out (when
    // `animated`) and is deleted.
    void leave(ThumbnailCell& cell, bool animated);
    // Gives `cell` the widget frame `frame`: at once when not `animated`, else by arriving there or
    // sliding from where it is drawn.
    void place(ThumbnailCell& cell, const QRect& frame, bool animated);
    // The widget frame the cell is going to (its frame at rest); an empty one for a cell unknown.
    QRect target(const ThumbnailCell& cell) const;

private:
    Animator& m_animator;
    std::map<const ThumbnailCell*, QRect> m_targets;
    std::set<const ThumbnailCell*> m_arriving;
};

} // namespace corvane
