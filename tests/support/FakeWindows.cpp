#include "support/FakeWindows.h"

namespace corvane::testing {

void addWindow(FakePlatform& platform, const FakeWindow& window) {
    if (window.app && !platform.fakeRunningApplications->apps.contains(window.pid))
        platform.fakeRunningApplications->add(window.pid, *window.app, window.bundleID);
    WindowListEntry& listed = platform.fakeWindowList->add(window.id, window.pid, window.frame, window.title);
    if (window.namesOwner && window.app)
        listed.owner = *window.app;
    FakeAXWindow ax;
    ax.number = window.id;
    ax.frame = window.frame;
    ax.title = window.title;
    platform.fakeAccessibility->addWindow(window.pid, ax);
    if (window.focused) {
        platform.fakeAccessibility->program(window.pid)->focusedWindow = window.id;
        platform.fakeRunningApplications->frontmost = window.pid;
    }
}

} // namespace corvane::testing
