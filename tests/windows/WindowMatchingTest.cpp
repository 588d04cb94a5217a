#include "windows/WindowMatching.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

const QString mail = QStringLiteral("com.example.mail");
const QString editor = QStringLiteral("com.example.editor");

MatchRequest request(const QString& bundleID, std::optional<QString> fragment = std::nullopt) {
    return MatchRequest{bundleID, std::move(fragment)};
}

TEST(TitleHintTest, KeepsTheLastPieceThatDoesNotNameTheProgram) {
    EXPECT_EQ(titleHint(QStringLiteral("Inbox \u2013 Mail"), QStringLiteral("Mail")),
              QStringLiteral("Inbox"));
    EXPECT_EQ(titleHint(QStringLiteral("notes.txt \u2014 Project \u2014 Editor"), QStringLiteral("Editor")),
              QStringLiteral("Project"));
    EXPECT_EQ(titleHint(QStringLiteral("Draft | Budget - Sheets"), QStringLiteral("Sheets")),
              QStringLiteral("Budget"));
    // Pieces that contain the name, or that the name contains, go too, whatever their case
    EXPECT_EQ(titleHint(QStringLiteral("Drafts - MAIL Preferences"), QStringLiteral("Mail")),
              QStringLiteral("Drafts"));
    EXPECT_EQ(titleHint(QStringLiteral("main.cpp - code"), QStringLiteral("Visual Code")),
              QStringLiteral("main.cpp"));
}

TEST(TitleHintTest, IsAbsentWhenNothingSurvives) {
    EXPECT_EQ(titleHint(QStringLiteral("Mail"), QStringLiteral("Mail")), std::nullopt);
    EXPECT_EQ(titleHint(QString(), QStringLiteral("Mail")), std::nullopt);
    EXPECT_EQ(titleHint(QStringLiteral("   "), QStringLiteral("Mail")), std::nullopt);
    EXPECT_EQ(titleHint(QStringLiteral(" - \n | "), QStringLiteral("Mail")), std::nullopt);
}

TEST(TitleHintTest, CutsOnlyAtSpacedSeparatorsAndKeepsSixtyCharacters) {
    EXPECT_EQ(titleHint(QStringLiteral("  a-b  "), QStringLiteral("Mail")), QStringLiteral("a-b"));
    EXPECT_EQ(titleHint(QStringLiteral("a - b"), QStringLiteral("Mail")), QStringLiteral("b"));
    EXPECT_EQ(titleHint(QString(61, QLatin1Char('x')), QStringLiteral("Mail")),
              QString(60, QLatin1Char('x')));
    // Sixty user-perceived characters, not sixty code units: an accent stays with its letter
    QString accented;
    for (int i = 0; i < 61; ++i)
        accented += QStringLiteral("e\u0301");
    EXPECT_EQ(titleHint(accented, QStringLiteral("Mail")), accented.left(120));
    // A program without a name hides nothing
    EXPECT_EQ(titleHint(QStringLiteral("Inbox - Notes"), QString()), QStringLiteral("Notes"));
}

TEST(MatchWindowsTest, EmptyInputsGiveNoMatches) {
    EXPECT_TRUE(matchWindows({}, {{1, mail, QStringLiteral("Inbox")}}).empty());
    EXPECT_TRUE(matchWindows({request(mail)}, {}).empty());
}

TEST(MatchWindowsTest, ProgramMatchesTakeFreeWindowsInCandidateOrder) {
    // Given three plain requests for a program with two windows
    const std::vector<MatchCandidate> candidates{
        {1, editor, QStringLiteral("a")}, {2, mail, QStringLiteral("b")}, {3, mail, QStringLiteral("c")}};
    const auto matched = matchWindows({request(mail), request(mail), request(mail)}, candidates);

    // Then the first two get its windows in order and the third gets nothing
    EXPECT_EQ(matched, (std::map<int, uint32_t>{{0, 2}, {1, 3}}));
    // A bundle identifier that differs only in case matches nothing
    EXPECT_TRUE(matchWindows({request(QStringLiteral("COM.example.mail"))}, candidates).empty());
}

TEST(MatchWindowsTest, TitleMatchesAreServedBeforeProgramMatches) {
    const std::vector<MatchCandidate> candidates{{1, mail, QStringLiteral("Drafts \u2013 Mail")},
                                                 {2, mail, QStringLiteral("INBOX \u2013 Mail")},
                                                 {3, mail, QStringLiteral("Sent \u2013 Mail")}};

    // A plain request first in the list does not take the window a later request names, and the
    // fragment matches regardless of case
    EXPECT_EQ(matchWindows({request(mail), request(mail, QStringLiteral("  inbox "))}, candidates),
              (std::map<int, uint32_t>{{0, 1}, {1, 2}}));

    // A blank fragment, or one that names no window, falls back after every title match
    EXPECT_EQ(matchWindows({request(mail, QStringLiteral(" \n")), request(mail, QStringLiteral("Archive")),
                            request(mail, QStringLiteral("drafts"))},
                           candidates),
              (std::map<int, uint32_t>{{0, 2}, {1, 3}, {2, 1}}));
}

} // namespace
