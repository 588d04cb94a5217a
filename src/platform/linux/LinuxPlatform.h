#pragma once

#include "platform/Platform.h"

#include <QStringList>

namespace corvane {

// The real desktop: X11 through xcb, freedesktop services, the user's files.
std::unique_ptr<Platform> makeLinuxPlatform(Scheduler& scheduler, const QStringList& arguments);

} // namespace corvane
