#pragma once

#include <QLoggingCategory>

// One category per area of the product, under the product's logging subsystem. Messages go to
// stderr as "<category>: <message>".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcAx)
Q_DECLARE_LOGGING_CATEGORY(lcThumbnails)
Q_DECLARE_LOGGING_CATEGORY(lcWorkspaces)
Q_DECLARE_LOGGING_CATEGORY(lcLayout)
Q_DECLARE_LOGGING_CATEGORY(lcRadial)
Q_DECLARE_LOGGING_CATEGORY(lcPermissions)

namespace corvane::Log {
// "true" or "false", as boolean arguments are written in log lines.
inline const char* boolText(bool value) {
    return value ? "true" : "false";
}
// Installs the message format used by the application binary.
void installMessagePattern();
} // namespace corvane::Log
