#pragma once

#include "platform/ApplicationHost.h"

#include <optional>

namespace corvane {

class FakeApplicationHost final : public ApplicationHost {
public:
    void setActivationPolicy(ActivationPolicy policy) override { activationPolicy = policy; }
    void activate() override { ++activateCount; }
    void beep() override { ++beepCount; }
    void terminate() override { ++terminateCount; }
    bool isTerminating() const override { return terminateCount > 0; }

    std::optional<ActivationPolicy> activationPolicy;
    int activateCount = 0;
    int beepCount = 0;
    int terminateCount = 0;
};

} // namespace corvane
