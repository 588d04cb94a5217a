#pragma once

#include <QString>

namespace corvane {

// What the file shelf asks of the rest of the application.
class ShelfHost {
public:
    virtual ~ShelfHost() = default;
    // The strip's window preview gives way to a file popover.
    virtual void hideStripHoverPreview() = 0;
    // The settings window on its Files & Tray page.
    virtual void openFilesSettings() = 0;
    // A failure the user is told of in a toast.
    virtual void showFailure(const QString& message) = 0;
};

} // namespace corvane
