#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest show a QString (and so a QStringList) as its text in failure messages, not as
// the bytes of the object.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
