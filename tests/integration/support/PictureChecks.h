#pragma once

#include <QImage>

namespace corvane::testing {

// How many different colours the picture holds, up to `enough` (every other pixel of every other
// line is looked at). A blank window is one colour.
int distinctColours(const QImage& image, int enough);

} // namespace corvane::testing
