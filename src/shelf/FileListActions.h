#pragma once

#include <QString>

#include <functional>

namespace corvane {

// What a file list asks of the panel that holds it. Each does nothing once its panel is gone.
struct FileListActions {
    std::function<void()> toggleFloat; // between the popover and a floating panel
    std::function<void()> close;
    std::function<void()> preview;   // the preview of the selection, shown or hidden
    std::function<void()> focusList; // the panel takes the keyboard and the search field lets go
    // Tells the user why opening or showing files did nothing: once per action, as a toast.
    std::function<void(const QString& message)> reportFailure;
};

} // namespace corvane
