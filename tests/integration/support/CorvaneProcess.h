#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace corvane::testing {

// The environment the `corvane` binary runs in under a test: the virtual desktop's display on
// Qt's X11 platform, every user folder inside `home`, no session bus.
QProcessEnvironment corvaneEnvironment(const QString& home);
// The same on `display`, for the benchmarks, which run without the tests' main.
QProcessEnvironment corvaneEnvironment(const QString& home, const QString& display);

} // namespace corvane::testing
