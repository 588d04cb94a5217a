#include "settings/SettingsTab.h"
#include "settings/SettingsSymbol.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(SettingsTabTest, RawValuesNameTheThirteenPagesExactlyAndNothingElse) {
    const QStringList expected = {"general",   "appearance",  "files",      "clipboard", "keepAwake",
                                  "snapWheel", "layouts",     "workspaces", "mouse",     "hotkeys",
                                  "excluded",  "permissions", "about"};
    QStringList listed;
    for (SettingsTab tab : allSettingsTabs()) {
        listed << rawValue(tab);
        EXPECT_EQ(settingsTabFromRawValue(rawValue(tab)), tab);
    }
    EXPECT_EQ(listed, expected);

    // Launch arguments that merely look like a page name open nothing
    for (const char* text : {"SnapWheel", "Snap Wheel", "snapwheel", "", "keep", " general", "13"})
        EXPECT_EQ(settingsTabFromRawValue(QString::fromUtf8(text)), SettingsTab::keep) << text;
    EXPECT_EQ(rawValue(SettingsTab::keep), QString());
    EXPECT_EQ(settingsTabFromOrdinal(13), SettingsTab::keep);
    EXPECT_EQ(settingsTabFromOrdinal(-1), SettingsTab::keep);

    // The page stored as "appearance" is the one about the sidebar
    EXPECT_EQ(title(SettingsTab::appearance), QStringLiteral("Sidebar"));
}

} // namespace
} // namespace corvane

namespace corvane::testing {
namespace {

// The glyph `symbol` stands for, drawn as the sidebar draws it, white on transparent.
QImage glyph(const QString& symbol, const QString& title) {
    QImage image(11, 11, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawSymbol(painter, QRectF(0, 0, 11, 11), symbol, Qt::white, title);
    return image;
}

TEST(SettingsTabIconTest, EveryPageHasItsOwnPictureFromTheIconThemeNotALetter) {
    std::vector<QImage> pictures;
    for (SettingsTab tab : allSettingsTabs()) {
        const QImage picture = glyph(symbolName(tab), title(tab));
        // The letter a missing picture falls back to
        EXPECT_NE(picture, glyph(QString(), title(tab))) << title(tab).toStdString();
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << title(tab).toStdString();
        pictures.push_back(picture);
    }
    // The permission badges too
    EXPECT_NE(glyph(QStringLiteral("accessibility"), QStringLiteral("Accessibility")),
              glyph(QString(), QStringLiteral("Accessibility")));
    EXPECT_NE(glyph(QStringLiteral("rectangle.dashed.badge.record"), QStringLiteral("Screen Recording")),
              glyph(QString(), QStringLiteral("Screen Recording")));
}

} // namespace
} // namespace corvane::testing
