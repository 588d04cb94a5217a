#pragma once

#include <QRectF>

#include <ostream>

// Lets GoogleTest show rectangles as (x, y, width, height) in failure messages.
inline void PrintTo(const QRectF& rect, std::ostream* os) {
    *os << "(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height() << ")";
}

// True when both sizes are finite and not negative.
inline bool hasSaneSize(const QRectF& rect) {
    return rect.width() >= 0 && rect.height() >= 0 && rect.width() < 1e12 && rect.height() < 1e12;
}
