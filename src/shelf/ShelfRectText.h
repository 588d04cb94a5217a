#pragma once

#include <QRectF>
#include <QString>

#include <optional>

namespace corvane {

// A panel frame as it is stored: "{{x, y}, {width, height}}", screen coordinates.
QString textFromRect(const QRectF& rect);
// None when the text is not in that form.
std::optional<QRectF> rectFromText(const QString& text);

} // namespace corvane
