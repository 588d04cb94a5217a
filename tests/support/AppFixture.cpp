#include "support/AppFixture.h"

#include "core/PermissionManager.h"

namespace corvane::testing {

AppFixture::AppFixture() {
    makePlatform();
}

AppFixture::~AppFixture() {
    state.reset();
    AXWindowService::setShared(nullptr);
    ax.reset();
    eventTaps.reset();
    Settings::setShared(nullptr);
    settings.reset();
    PermissionManager::resetCachedFlags();
    PermissionManager::setProbeForFirstRead(nullptr);
}

void AppFixture::makePlatform(QStringList arguments) {
    platform = std::make_unique<FakePlatform>(scheduler, std::move(arguments));
    PermissionManager::resetCachedFlags();
    PermissionManager::setProbeForFirstRead(platform->permissions.get());
}

AppState& AppFixture::buildState() {
    settings = std::make_unique<Settings>(*platform->defaults, notifications);
    Settings::setShared(settings.get());
    ax = std::make_unique<AXWindowService>(*platform->accessibility, axQueue, scheduler, ownPID);
    AXWindowService::setShared(ax.get());
    eventTaps = std::make_unique<EventTapThread>(platform->makeKeyTaps);
    EventTapThread::setShared(eventTaps.get());
    state = std::make_unique<AppState>(*platform, Runtime{scheduler, notifications, background, animator});
    return *state;
}

} // namespace corvane::testing
