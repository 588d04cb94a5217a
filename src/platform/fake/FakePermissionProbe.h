#pragma once

#include "platform/PermissionProbe.h"

#include <atomic>

namespace corvane {

// Permissions a test grants and revokes by setting the flags; safe to flip while a probe runs on
// another thread. A request grants screen capture when `requestGrants` is set.
class FakePermissionProbe final : public PermissionProbe {
public:
    bool isAccessibilityTrusted() override;
    bool isScreenCaptureAllowed() override;
    bool requestScreenCapture() override;
    QString accessibilityHelp() override { return accessibilityHelpText; }
    QString screenCaptureHelp() override { return screenCaptureHelpText; }

    QString accessibilityHelpText = QStringLiteral("Start a window manager.");
    QString screenCaptureHelpText = QStringLiteral("Turn on the Composite extension.");

    std::atomic<bool> accessibility{false};
    std::atomic<bool> screenCapture{false};
    std::atomic<bool> requestGrants{false};

    std::atomic<int> accessibilityQueries{0};
    std::atomic<int> screenCaptureQueries{0};
    std::atomic<int> screenCaptureRequests{0};
};

} // namespace corvane
