#pragma once

#include "system/StatusItemHost.h"

namespace corvane {

// Status items as tray icons. A tray icon cannot be dragged away on X11, so the removal
// callback never runs here: the settings are the only way to take an item out.
class TrayStatusItems final : public StatusItemHost {
public:
    std::unique_ptr<StatusItem> makeStatusItem(const QString& id,
                                               std::function<void()> removedByUser) override;
};

} // namespace corvane
