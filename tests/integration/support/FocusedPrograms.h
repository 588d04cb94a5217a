#pragma once

#include <QProcess>

#include <xcb/xcb.h>

#include <vector>

namespace corvane {
struct Platform;
}

namespace corvane::testing {

// Real programs a test starts and brings to the front; they are killed when it goes.
class FocusedPrograms {
public:
    FocusedPrograms() = default;
    ~FocusedPrograms();
    FocusedPrograms(const FocusedPrograms&) = delete;
    FocusedPrograms& operator=(const FocusedPrograms&) = delete;

    // Starts an xlogo (300x200 at 200,150: no size increments, so frames land exactly), brings it
    // to the front through `platform` and waits until it is the active window. XCB_WINDOW_NONE,
    // with a test failure, when it does not come.
    xcb_window_t openLogo(Platform& platform);
    // Starts any X program with its first window, brings that window to the front and waits as
    // `openLogo` does.
    xcb_window_t open(Platform& platform, const QString& program, const QStringList& arguments);

private:
    std::vector<QProcess*> m_programs;
};

} // namespace corvane::testing
