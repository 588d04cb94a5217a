#pragma once

#include "runtime/Executor.h"
#include "runtime/NotificationCenter.h"
#include "runtime/Scheduler.h"

namespace corvane {

// The process-wide runtime every service is built with: time, the named notifications, and
// the pool for detached background work. `main` builds the real one, tests the manual one.
struct Runtime {
    Scheduler& scheduler;
    NotificationCenter& notifications;
    Executor& background;
};

} // namespace corvane
