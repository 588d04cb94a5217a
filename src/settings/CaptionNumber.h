#pragma once

#include <QString>

namespace corvane {

// A stored number shown as a whole number: truncated toward zero. The stored value comes from a
// file the user can edit, so it may be NaN, infinite or far beyond any integer; converting such a
// value to an integer is undefined behaviour. NaN reads as 0, and values beyond the integer range
// read as its nearest end.
long long truncatedWholeNumber(double value);

// The whole number followed by `suffix`, as a caption under a control: 8.9 and " pt" give "8 pt".
QString wholeNumberCaption(double value, const QString& suffix = {});

} // namespace corvane
