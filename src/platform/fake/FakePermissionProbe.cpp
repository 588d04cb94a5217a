#include "platform/fake/FakePermissionProbe.h"

namespace corvane {

bool FakePermissionProbe::isAccessibilityTrusted() {
    ++accessibilityQueries;
    return accessibility;
}

bool FakePermissionProbe::isScreenCaptureAllowed() {
    ++screenCaptureQueries;
    return screenCapture;
}

bool FakePermissionProbe::requestScreenCapture() {
    ++screenCaptureRequests;
    if (requestGrants)
        screenCapture = true;
    return screenCapture;
}

} // namespace corvane
