#include "shelf/ShelfPath.h"

#include <QFont>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace corvane;

namespace {

// The characters of `text` in the order a reader sees them from left to right, as laid out on
// one line; invisible format characters left out.
QString visualOrder(const QString& text) {
    QTextLayout layout(text, QFont());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(100000);
    layout.endLayout();
    std::vector<std::pair<qreal, QChar>> placed;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i].category() == QChar::Other_Format)
            continue;
        int at = i;
        const qreal leading = line.cursorToX(&at, QTextLine::Leading);
        at = i;
        const qreal trailing = line.cursorToX(&at, QTextLine::Trailing);
        placed.emplace_back((leading + trailing) / 2, text[i]);
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QString seen;
    for (const auto& [x, c] : placed)
        seen.append(c);
    return seen;
}

} // namespace

TEST(ShelfPath, NamesShowOnOneLineAndTheirExtensionReadsAsItIs) {
    // A newline and other controls show as "�"; the name stays on one line.
    const QString twoLines = shownName(QStringLiteral("notes\nfinal\t\u2028.txt"));
    EXPECT_EQ(twoLines, QStringLiteral("notes\uFFFDfinal\uFFFD\uFFFD.txt"));

    // A right-to-left override cannot turn an executable into a picture.
    const QString disguised = QStringLiteral("photo\u202Egpj.exe");
    EXPECT_EQ(visualOrder(shownName(disguised)), QStringLiteral("photo\uFFFDgpj.exe"));

    // A right-to-left name keeps its own direction and its extension at the end, even with an
    // override hidden inside.
    const QString hebrew = QStringLiteral("\u05D3\u05D5\u05D7.pdf");
    EXPECT_TRUE(visualOrder(shownName(hebrew)).endsWith(QStringLiteral(".pdf")));
    EXPECT_TRUE(
        visualOrder(shownName(QStringLiteral("\u05D0photo\u202Egpj.exe"))).endsWith(QStringLiteral(".exe")));

    // A plain name is shown as it is.
    EXPECT_EQ(shownName(QStringLiteral("Report 2024.pdf")), QStringLiteral("Report 2024.pdf"));
}
