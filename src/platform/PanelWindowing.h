#pragma once

#include <QtGlobal>

class QWindow;

namespace corvane {

// What the desktop must be told about the product's floating panels beyond Qt's window flags.
class PanelWindowing {
public:
    virtual ~PanelWindowing() = default;

    // Puts a panel's native window on every desktop. The panel calls this each time it is about to
    // be shown, because a window manager forgets what it knew of a window once it is withdrawn.
    virtual void showOnAllDesktops(QWindow& window) = 0;
    // The desktop's active window (any program's), 0 when there is none or it cannot be told.
    virtual quint64 activeWindow() const = 0;
    // Asks the window manager to give the keyboard back to a window `activeWindow` reported; a
    // window that has gone meanwhile is ignored.
    virtual void activateWindow(quint64 window) = 0;
};

} // namespace corvane
