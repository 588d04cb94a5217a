#include "system/MouseController.h"

namespace corvane {
namespace {
MouseController* currentController = nullptr;
}

MouseController::MouseController(Settings& settings) : m_settings(settings) {
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
