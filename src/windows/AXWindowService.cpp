#include "windows/AXWindowService.h"

#include <cassert>

namespace corvane {
namespace {
AXWindowService* sharedService = nullptr;
}

AXWindowService& AXWindowService::shared() {
    assert(sharedService && "AXWindowService::setShared must run first");
    return *sharedService;
}

void AXWindowService::setShared(AXWindowService* service) { sharedService = service; }

} // namespace corvane
