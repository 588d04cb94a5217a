#include "system/MouseController.h"

namespace corvane {
namespace {
MouseController* currentController = nullptr;
}

MouseController::MouseController(AppState& state) : m_state(state) {
    currentController = this;
}

MouseController::~MouseController() {
    if (currentController == this)
        currentController = nullptr;
}

MouseController* MouseController::current() {
    return currentController;
}

} // namespace corvane
