#pragma once

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <optional>

namespace corvane {

// The order a file browser gives names: runs of digits compare by their numeric value ("file2"
// before "file10"), the text between them by the locale's collation without regard to case.
// Numbers are compared here rather than by the collator because a collator for the C locale
// compares code points and ignores numeric mode.
class NaturalNameComparer {
public:
    explicit NaturalNameComparer(const QLocale& locale = QLocale());

    // Negative, zero or positive as `a` sorts before, with or after `b`.
    int compare(QStringView a, QStringView b) const;
    bool operator()(QStringView a, QStringView b) const { return compare(a, b) < 0; }

private:
    int compareText(QStringView a, QStringView b) const;

    std::optional<QCollator> m_collator; // none for the C locale
};

} // namespace corvane
