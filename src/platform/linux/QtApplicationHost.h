#pragma once

#include "platform/ApplicationHost.h"

namespace corvane {

class QtApplicationHost final : public ApplicationHost {
public:
    void setActivationPolicy(ActivationPolicy policy) override { m_policy = policy; }
    void activate() override;
    void beep() override;
    void terminate() override;
    bool isTerminating() const override;
    ActivationPolicy activationPolicy() const { return m_policy; }

private:
    ActivationPolicy m_policy = ActivationPolicy::accessory;
    bool m_terminating = false;
};

} // namespace corvane
