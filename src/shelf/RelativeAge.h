#pragma once

#include <QDateTime>
#include <QString>

namespace corvane {

// The short age a file row shows: "now", "5m", "3h", "2d", then the day and month ("5 Dec");
// empty for a file without a date. A date in the future reads "now".
QString relativeAgeLabel(const QDateTime& date, const QDateTime& now);

} // namespace corvane
