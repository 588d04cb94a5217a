#include "core/AppIcons.h"
#include "platform/fake/FakeApplicationCatalog.h"

#include <QPixmap>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

QIcon solidIcon(Qt::GlobalColor color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

TEST(AppIconsTest, BundleIconsAreCachedOnlyWhenFound) {
    FakeApplicationCatalog catalog;
    AppIcons icons(catalog);

    // An unknown application is asked for afresh every time, so that installing it later helps
    EXPECT_EQ(icons.appIconForBundleID(QStringLiteral("org.example.Editor")), std::nullopt);
    const QIcon editor = solidIcon(Qt::red);
    catalog.iconsByBundleID[QStringLiteral("org.example.Editor")] = editor;
    auto found = icons.appIconForBundleID(QStringLiteral("org.example.Editor"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->cacheKey(), editor.cacheKey());
    EXPECT_EQ(catalog.bundleIDLookups, 2);

    // Once found, it comes from the cache
    icons.appIconForBundleID(QStringLiteral("org.example.Editor"));
    EXPECT_EQ(catalog.bundleIDLookups, 2);

    // An application whose picture is empty counts as having none
    catalog.iconsByBundleID[QStringLiteral("org.example.Blank")] = QIcon();
    EXPECT_EQ(icons.appIconForBundleID(QStringLiteral("org.example.Blank")), std::nullopt);
    icons.appIconForBundleID(QStringLiteral("org.example.Blank"));
    EXPECT_EQ(catalog.bundleIDLookups, 4);
}

TEST(AppIconsTest, ForgottenProcessIsLookedUpAfresh) {
    FakeApplicationCatalog catalog;
    AppIcons icons(catalog);
    catalog.iconsByPID[812] = solidIcon(Qt::red);
    ASSERT_TRUE(icons.appIconForPID(812));
    ASSERT_TRUE(icons.appIconForPID(812));
    EXPECT_EQ(catalog.pidLookups, 1);

    // When the application ends and the system reuses its process id for another one
    icons.forgetPID(812);
    const QIcon other = solidIcon(Qt::blue);
    catalog.iconsByPID[812] = other;

    // Then the new process's picture is shown
    auto found = icons.appIconForPID(812);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->cacheKey(), other.cacheKey());
    EXPECT_EQ(catalog.pidLookups, 2);
}

TEST(AppIconsTest, AWindowShowsItsEntrysIconElseItsOwnElseTheGenericOne) {
    FakeApplicationCatalog catalog;
    AppIcons icons(catalog);
    const QIcon entry = solidIcon(Qt::red);
    const QIcon own = solidIcon(Qt::green);
    catalog.iconsByBundleID[QStringLiteral("debian-xterm")] = entry;
    catalog.iconsByWindow[7] = own;
    catalog.iconsByWindow[8] = own;

    EXPECT_EQ(icons.appIconForWindow(7, 70, QStringLiteral("debian-xterm"))->cacheKey(), entry.cacheKey());
    // A program without an entry (its class taken as the id) shows the window's own picture,
    // found once
    EXPECT_EQ(icons.appIconForWindow(8, 80, QStringLiteral("XClock"))->cacheKey(), own.cacheKey());
    icons.appIconForWindow(8, 80, QStringLiteral("XClock"));
    EXPECT_EQ(catalog.windowLookups, 1);
    // With nothing at all, the generic picture where the theme has one
    EXPECT_EQ(icons.appIconForWindow(9, 90, std::nullopt).has_value(),
              AppIcons::genericAppIcon().has_value());
    // also found once, until its process is gone
    icons.appIconForWindow(9, 90, std::nullopt);
    EXPECT_EQ(catalog.windowLookups, 2);
    icons.forgetPID(90);
    icons.appIconForWindow(9, 90, std::nullopt);
    EXPECT_EQ(catalog.windowLookups, 3);
    // or until the window closes, though its program runs on
    icons.keepWindows({7, 9});
    icons.appIconForWindow(9, 90, std::nullopt);
    EXPECT_EQ(catalog.windowLookups, 3);
    icons.appIconForWindow(8, 80, QStringLiteral("XClock"));
    EXPECT_EQ(catalog.windowLookups, 4);
}
