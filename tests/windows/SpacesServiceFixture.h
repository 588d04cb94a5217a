#pragma once

#include "platform/fake/FakePlatform.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "windows/SpacesService.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace corvane::testing {

// A Spaces service over fake desktops (four, the first one shown), an inline background executor
// and virtual time.
class SpacesServiceFixture : public ::testing::Test {
protected:
    SpacesServiceFixture() : platform(scheduler) {
        desktops().setDesktops(4, 0);
        service = std::make_unique<SpacesService>(*platform.desktops, *platform.screens,
                                                  *platform.runningApplications, scheduler, background);
    }

    FakeDesktops& desktops() { return *platform.fakeDesktops; }

    static std::vector<uint64_t> ids(const std::vector<SpaceInfo>& spaces) {
        std::vector<uint64_t> result;
        for (const SpaceInfo& space : spaces)
            result.push_back(space.id);
        return result;
    }

    ManualScheduler scheduler;
    ManualExecutor background;
    FakePlatform platform;
    std::unique_ptr<SpacesService> service;
};

} // namespace corvane::testing
