#pragma once

#include <QString>

namespace corvane {

// A search field's text with blanks cut from both ends: every space character (including the
// no-break and other typographic spaces) and tabs, but not line breaks, which a pasted text
// may rightly begin or end with.
inline QString trimBlanks(const QString& text) {
    const auto blank = [](QChar c) {
        return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
    };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && blank(text[start]))
        ++start;
    while (end > start && blank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

} // namespace corvane
