#pragma once

#include "platform/ApplicationLauncher.h"
#include "platform/x11/X11WindowProgram.h"

#include <memory>

namespace corvane {

// Launches `.desktop` entries through GIO's desktop-app-info, which handles the entry's Exec line,
// field codes and the startup environment.
class GioApplicationLauncher final : public ApplicationLauncher {
public:
    explicit GioApplicationLauncher(std::shared_ptr<X11WindowProgram> windows)
        : m_windows(std::move(windows)) {}

    std::optional<QString> locate(const QString& bundleID, const std::optional<QString>& path) override;
    Outcome launch(const QString& location, const QStringList& documents,
                   const QStringList& arguments) override;

    // An entry's Exec line without its field codes (%f, %U, %i and the like), so that plain
    // arguments can follow its whole command; "%%" (a literal percent sign) stays.
    static QString withoutFieldCodes(const QString& exec);

    std::optional<QString> programOfWindow(uint32_t windowID, int32_t pid) override;

private:
    std::shared_ptr<X11WindowProgram> m_windows;
};

} // namespace corvane
