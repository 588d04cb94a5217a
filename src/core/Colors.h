#pragma once

#include "core/SettingsEnums.h"

#include <QColor>
#include <QString>

namespace corvane {

// Colour components in 0...1.
struct RGB {
    double r = 0;
    double g = 0;
    double b = 0;
    bool operator==(const RGB&) const = default;
};

// Reads "#RRGGBB". Anything that is not a letter or digit is trimmed from both ends first; a
// text that is not then exactly six characters long gives a middle grey. Hexadecimal digits are
// read up to the first character that is not one, so six non-digits give black.
RGB hexComponents(const QString& text);

// The colour of a "#RRGGBB" text, read as `hexComponents` reads it, fully opaque.
QColor colorFromHex(const QString& text);

// The product's red, "#D22027".
QColor brandColor();

// The colour an accent choice stands for: the brand red, or the desktop's own accent colour.
QColor accentColor(AccentChoice choice);

} // namespace corvane
