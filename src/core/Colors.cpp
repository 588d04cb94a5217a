#include "core/Colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <cstdint>

namespace corvane {

namespace {

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// An optional "0x" prefix, then the longest run of hexadecimal digits; no digits read as 0, and
// a run too long for 64 bits saturates.
uint64_t scanHex(const QString& text) {
    qsizetype i = 0;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X') &&
        hexDigitValue(text[2]) >= 0)
        i = 2;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0)
            break;
        if (value > (UINT64_MAX >> 4))
            return UINT64_MAX;
        value = (value << 4) | static_cast<uint64_t>(digit);
    }
    return value;
}

QString trimmedToAlphanumerics(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && !text[begin].isLetterOrNumber())
        ++begin;
    while (end > begin && !text[end - 1].isLetterOrNumber())
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

RGB hexComponents(const QString& text) {
    const QString trimmed = trimmedToAlphanumerics(text);
    const uint64_t value = scanHex(trimmed);
    if (trimmed.size() != 6)
        return {0.5, 0.5, 0.5};
    return {static_cast<double>((value >> 16) & 0xFF) / 255.0,
            static_cast<double>((value >> 8) & 0xFF) / 255.0, static_cast<double>(value & 0xFF) / 255.0};
}

QColor brandColor() {
    static const QColor color = [] {
        const RGB rgb = hexComponents(QStringLiteral("#D22027"));
        return QColor::fromRgbF(static_cast<float>(rgb.r), static_cast<float>(rgb.g),
                                static_cast<float>(rgb.b));
    }();
    return color;
}

QColor colorFromHex(const QString& text) {
    const RGB rgb = hexComponents(text);
    return QColor::fromRgbF(static_cast<float>(rgb.r), static_cast<float>(rgb.g), static_cast<float>(rgb.b));
}

QColor accentColor(AccentChoice choice) {
    if (choice == AccentChoice::lumenForge)
        return brandColor();
    return QGuiApplication::palette().color(QPalette::Highlight);
}

} // namespace corvane
