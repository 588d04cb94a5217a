#pragma once

#include <QString>

#include <optional>

namespace corvane {

// The desktop's record that the product starts when the user logs in.
class LoginItem {
public:
    enum class Status { notRegistered, enabled, requiresApproval, notFound };

    virtual ~LoginItem() = default;
    virtual Status status() const = 0;
    // Each answers none on success, else the reason it failed, in words a user can read.
    virtual std::optional<QString> registerItem() = 0;
    virtual std::optional<QString> unregisterItem() = 0;
};

} // namespace corvane
