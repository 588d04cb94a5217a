#include "settings/SettingsTab.h"

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
