#pragma once

#include "platform/ApplicationLauncher.h"

namespace corvane {

// Launches `.desktop` entries through GIO's desktop-app-info, which handles the entry's Exec line,
// field codes and the startup environment.
class GioApplicationLauncher final : public ApplicationLauncher {
public:
    std::optional<QString> locate(const QString& bundleID, const std::optional<QString>& path) override;
    Outcome launch(const QString& location, const QStringList& documents,
                   const QStringList& arguments) override;
};

} // namespace corvane
