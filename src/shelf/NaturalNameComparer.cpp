#include "shelf/NaturalNameComparer.h"

namespace corvane {

namespace {

// The run of digits, or of other characters, that starts at `from`.
QStringView runAt(QStringView text, qsizetype from) {
    const bool digits = text[from].isDigit();
    qsizetype end = from + 1;
    while (end < text.size() && text[end].isDigit() == digits)
        ++end;
    return text.mid(from, end - from);
}

// Compares two runs of digits by value, whatever script their digits are written in.
int compareNumbers(QStringView a, QStringView b) {
    auto significant = [](QStringView digits) {
        qsizetype start = 0;
        while (start < digits.size() - 1 && digits[start].digitValue() == 0)
            ++start;
        return digits.mid(start);
    };
    const QStringView x = significant(a);
    const QStringView y = significant(b);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    for (qsizetype i = 0; i < x.size(); ++i) {
        const int dx = x[i].digitValue();
        const int dy = y[i].digitValue();
        if (dx != dy)
            return dx < dy ? -1 : 1;
    }
    return 0;
}

} // namespace

NaturalNameComparer::NaturalNameComparer(const QLocale& locale) {
    if (locale.language() == QLocale::C)
        return;
    m_collator.emplace(locale);
    m_collator->setCaseSensitivity(Qt::CaseInsensitive);
    m_collator->setNumericMode(false);
}

int NaturalNameComparer::compareText(QStringView a, QStringView b) const {
    const int result = m_collator ? m_collator->compare(a, b) : a.compare(b, Qt::CaseInsensitive);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int NaturalNameComparer::compare(QStringView a, QStringView b) const {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QStringView x = runAt(a, i);
        const QStringView y = runAt(b, j);
        const bool numbers = x.front().isDigit() && y.front().isDigit();
        if (const int result = numbers ? compareNumbers(x, y) : compareText(x, y); result != 0)
            return result;
        i += x.size();
        j += y.size();
    }
    // The name that ran out first is a prefix of the other and sorts first.
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace corvane
