#pragma once

#include <QColor>
#include <QPixmap>

namespace corvane {

// X trays show a status item's picture as it is, on dark and light panels alike (they tint
// nothing): every picture of ours there is a light symbol with a dark outline, which stands out on
// both.
QColor trayPictureFill();
QColor trayPictureOutline();

// `symbol` (its alpha is the shape; its colours are dropped) in the light fill, outlined in the
// dark colour: one pixel of outline per 22 of the picture's size, within a picture that is larger
// by the outline on every side. Keeps the device pixel ratio.
QPixmap outlinedTrayPicture(const QPixmap& symbol);

} // namespace corvane
