#pragma once

#include "runtime/Executor.h"
#include "runtime/NotificationCenter.h"
#include "runtime/Scheduler.h"

namespace corvane {

class Animator;

// The process-wide runtime every service is built with: time, the named notifications, the
// pool for detached background work, and the animations of panels. `main` builds the real one,
// tests the manual one.
struct Runtime {
    Scheduler& scheduler;
    NotificationCenter& notifications;
    Executor& background;
    Animator& animator;
    // Where copied pictures are decoded and copied file lists parsed: a thread of their own, so
    // that a flood of them never fills the shared pool that drawing waits on. None: the
    // background pool.
    Executor* pictures = nullptr;
};

} // namespace corvane
