#include "shelf/RelativeAge.h"

#include "shelf/ShelfFile.h"

#include <QLocale>

namespace corvane {

QString relativeAgeLabel(const QDateTime& date, const QDateTime& now) {
    if (!date.isValid() || date == ShelfFile::distantPast())
        return {};
    const qint64 age = date.secsTo(now);
    if (age < 60)
        return QStringLiteral("now");
    if (age < 3600)
        return QStringLiteral("%1m").arg(age / 60);
    if (age < 86400)
        return QStringLiteral("%1h").arg(age / 3600);
    if (age < 604800)
        return QStringLiteral("%1d").arg(age / 86400);
    // Day and abbreviated month in the locale's order: "5 Dec" or "Dec 5".
    const QLocale locale;
    const QString month = locale.monthName(date.date().month(), QLocale::ShortFormat);
    const QString dayFirst = locale.toString(QDate(2000, 12, 5), QLocale::ShortFormat);
    const bool monthFirst = dayFirst.indexOf(QLatin1String("12")) < dayFirst.indexOf(QLatin1Char('5'));
    const QString day = QString::number(date.date().day());
    return monthFirst ? month + QLatin1Char(' ') + day : day + QLatin1Char(' ') + month;
}

} // namespace corvane
