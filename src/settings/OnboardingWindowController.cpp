#include "settings/OnboardingWindowController.h"

#include "app/AppState.h"
#include "app/PermissionManager.h"

namespace corvane {

void OnboardingWindowController::show() {
    ++m_showCount;
    m_state.permissions().startPolling(Seconds(1.0));
    m_state.platform().host->activate();
}

} // namespace corvane
