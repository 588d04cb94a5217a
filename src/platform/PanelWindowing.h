#pragma once

class QWindow;

namespace corvane {

// What the desktop must be told about the product's floating panels beyond Qt's window flags.
class PanelWindowing {
public:
    virtual ~PanelWindowing() = default;

    // Puts a panel's native window on every desktop. The panel calls this each time it is about to
    // be shown, because a window manager forgets what it knew of a window once it is withdrawn.
    virtual void showOnAllDesktops(QWindow& window) = 0;
};

} // namespace corvane
