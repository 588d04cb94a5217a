#pragma once

#include "platform/LoginItem.h"

namespace corvane {

// A login item in memory; a test sets the status it reports and makes changes fail.
class FakeLoginItem final : public LoginItem {
public:
    Status status() const override { return currentStatus; }
    std::optional<QString> registerItem() override { return change(Status::enabled); }
    std::optional<QString> unregisterItem() override { return change(Status::notRegistered); }

    Status currentStatus = Status::notRegistered;
    // The error the next changes fail with, none to succeed.
    std::optional<QString> failure;
    int changes = 0;

private:
    std::optional<QString> change(Status to) {
        ++changes;
        if (!failure)
            currentStatus = to;
        return failure;
    }
};

} // namespace corvane
