#include "shelf/ShelfRectText.h"

#include <QRegularExpression>

namespace corvane {

QString textFromRect(const QRectF& rect) {
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(rect.x(), 0, 'g', 12)
        .arg(rect.y(), 0, 'g', 12)
        .arg(rect.width(), 0, 'g', 12)
        .arg(rect.height(), 0, 'g', 12);
}

std::optional<QRectF> rectFromText(const QString& text) {
    static const QRegularExpression number(QStringLiteral("[-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?"));
    static const QRegularExpression shape(
        QStringLiteral("^\\s*\\{\\s*\\{[^{}]*\\}\\s*,\\s*\\{[^{}]*\\}\\s*\\}\\s*$"));
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    QList<double> values;
    auto it = number.globalMatch(text);
    while (it.hasNext())
        values.append(it.next().captured().toDouble());
    if (values.size() != 4)
        return std::nullopt;
    return QRectF(values[0], values[1], values[2], values[3]);
}

} // namespace corvane
