#include "settings/FilesSettings.h"

#include "platform/UserDefaults.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "runtime/ManualScheduler.h"
#include "shelf/FileShelf.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;

TEST(FilesSettingsTest, PinningSkipsFoldersAlreadyPinnedAndKeepsTheChosenOrder) {
    ManualScheduler scheduler;
    UserDefaults defaults(std::make_unique<FakeDefaultsFile>(), scheduler);
    FileShelf shelf(defaults);
    QTemporaryDir a, b, c;
    shelf.setFolders({a.path()});
    EXPECT_EQ(pinFolders(shelf, {c.path(), a.path(), b.path(), c.path()}), 2);
    EXPECT_EQ(shelf.folders(), QStringList({a.path(), c.path(), b.path()}));
    EXPECT_EQ(defaults.stringArray("shelfFolders")->size(), 3u);
    EXPECT_TRUE(shelf.watchedFolders().contains(b.path()));

    EXPECT_EQ(FilesSettings::trayText(0), QStringLiteral("The tray is empty."));
    EXPECT_EQ(FilesSettings::trayText(1), QStringLiteral("1 file in the tray."));
    EXPECT_EQ(FilesSettings::trayText(3), QStringLiteral("3 files in the tray."));
}
