#pragma once

#include "platform/fake/FakePlatform.h"

#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>

namespace corvane::testing {

// One window of a program on the fake platform, as the window list and the accessibility layer
// both show it.
struct FakeWindow {
    int32_t pid = 0;
    uint32_t id = 0;
    QRectF frame;
    QString title;
    // The program's name, added with `bundleID` when the platform does not run it yet; none
    // leaves the running programs as they are.
    std::optional<QString> app;
    std::optional<QString> bundleID;
    // Whether the window list names the program as the window's owner.
    bool namesOwner = false;
    // The program's focused window, with the program in front.
    bool focused = false;
};

void addWindow(FakePlatform& platform, const FakeWindow& window);

} // namespace corvane::testing
