#include "workspaces/Workspace.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {
QString initials(const QString& name) {
    Workspace workspace;
    workspace.name = name;
    return workspace.initials();
}
} // namespace

TEST(WorkspaceTest, InitialsTakeTwoWordsOrTheFirstTwoCharacters) {
    EXPECT_EQ(initials(QStringLiteral("Deep work")), QStringLiteral("DW"));
    EXPECT_EQ(initials(QStringLiteral("e-mail triage")), QStringLiteral("EM"));
    EXPECT_EQ(initials(QStringLiteral("web 2 design")), QStringLiteral("W2"));
    EXPECT_EQ(initials(QStringLiteral("über uns")), QStringLiteral("ÜU"));
    EXPECT_EQ(initials(QStringLiteral("Research")), QStringLiteral("RE"));
    EXPECT_EQ(initials(QStringLiteral("x")), QStringLiteral("X"));
    EXPECT_EQ(initials(QStringLiteral("--")), QStringLiteral("--"));
    EXPECT_EQ(initials(QString()), QString());
    // Full case mapping: one character may become two.
    EXPECT_EQ(initials(QStringLiteral("ßa")), QStringLiteral("SSA"));
    // However far into the name the second word begins, and whole characters only, also where
    // one is made of several code points
    EXPECT_EQ(initials(QString(1'000'000, u'x') + QStringLiteral(" yes")), QStringLiteral("XY"));
    EXPECT_EQ(initials(QString(300, u'-') + QStringLiteral("long")), QStringLiteral("LO"));
    for (int dashes = 0; dashes < 300; ++dashes)
        ASSERT_EQ(initials(QStringLiteral("a") + QString(dashes, u'-') + QStringLiteral("e\u0301")),
                  QStringLiteral("AE\u0301"))
            << dashes;
}

TEST(WorkspaceTest, RelativeFramesAreClampedIntoTheUnitSquare) {
    const QRectF area(100, 50, 1000, 500);
    // Hanging off the left and top, and off the right and bottom.
    EXPECT_EQ(relativeUnitRect(QRectF(50, 0, 500, 250), area), QRectF(0, 0, 0.5, 0.5));
    EXPECT_EQ(relativeUnitRect(QRectF(900, 400, 500, 250), area), QRectF(0.5, 0.5, 0.5, 0.5));
    // Larger than the area; narrower than 5 % at the right edge.
    EXPECT_EQ(relativeUnitRect(QRectF(0, 0, 3000, 3000), area), QRectF(0, 0, 1, 1));
    EXPECT_EQ(relativeUnitRect(QRectF(1090, 50, 10, 500), area), QRectF(0.95, 0, 0.05, 1));
    EXPECT_EQ(relativeUnitRect(area, area), QRectF(0, 0, 1, 1));
    // A reference without area gives the zero rectangle, unclamped.
    EXPECT_EQ(relativeUnitRect(QRectF(0, 0, 10, 10), QRectF(0, 0, 0, 500)), QRectF(0, 0, 0, 0));
}

TEST(WorkspaceTest, EqualityComparesEveryFieldAndItemOrder) {
    WorkspaceItem a{QUuid::createUuid(),   QStringLiteral("xterm"), {}, {},
                    QStringLiteral("one"), QRectF(0, 0, 1, 1),      {}, {}};
    WorkspaceItem b = a;
    b.titleContains = QStringLiteral("two");
    EXPECT_NE(a, b);
    b.id = QUuid::createUuid();
    Workspace w1{QUuid::createUuid(), QStringLiteral("W"), QStringLiteral("#000000"), {}, {a, b}, {}};
    Workspace w2 = w1;
    std::swap(w2.items[0], w2.items[1]);
    EXPECT_NE(w1, w2);
}
