#pragma once

#include <QPixmap>

namespace corvane {

// The application's icon, `side` points square; without one installed, the status picture's
// motif in white on the brand red.
QPixmap applicationIcon(int side, qreal ratio);

} // namespace corvane
