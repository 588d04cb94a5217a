#pragma once

#include "shelf/ShelfSource.h"

namespace corvane {

class FileShelf;
class FileShelfController;
class Settings;
class SystemShell;

// What the shelf asks of the application: opening a source's file panel beside the strip, which
// only the application can place.
class ShelfActions {
public:
    virtual void showShelfPanel(const ShelfSource& source) = 0;

protected:
    ~ShelfActions() = default;
};

// What the strip's shelf rows work with. All must outlive the rows.
struct ShelfServices {
    Settings& settings;
    SystemShell& shell;
    FileShelf& files;
    FileShelfController& panels;
    ShelfActions& actions;
};

} // namespace corvane
