// The product's extra tray icons on a real X server: without a tray host they report hidden by
// the desktop and nothing fails; once a tray host starts they embed in it and open their menus.
#include "support/IntegrationMain.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"
#include "support/XTestInput.h"

#include "core/StatusItems.h"
#include "platform/x11/QtTray.h"
#include "runtime/QtScheduler.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace corvane::testing {
namespace {

TEST(StatusItems, HiddenWithoutATrayHostThenEmbeddedWithTheirMenusOnceOneStarts) {
    ASSERT_FALSE(desktop().hasTrayHost());
    QtScheduler scheduler;
    QtTray tray;
    StatusItems items(tray, scheduler);
    const std::array<QString, 3> identifiers{"awake", "clipboard", "files"};
    std::array<QMenu, 3> menus;
    int removals = 0;
    QPixmap picture(22, 22);
    picture.fill(Qt::red);
    for (size_t i = 0; i < identifiers.size(); ++i) {
        menus[i].addAction(identifiers[i]);
        TrayIcon& item = items.makeStatusItem(identifiers[i], [&] { ++removals; });
        item.setIcon(QIcon(picture));
        item.setMenu(&menus[i]);
        item.setAccessibleName(identifiers[i] + QStringLiteral(" icon"));
        EXPECT_FALSE(item.isVisible());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return items.statusItemsHiddenBySystem(); }, 2000));

    ASSERT_TRUE(desktop().startTrayHost());
    EXPECT_TRUE(QTest::qWaitFor([&] { return embeddedWindows("StatusItemsTest").size() == 3; }, 10000));
    for (const QString& identifier : identifiers)
        EXPECT_TRUE(items.statusItem(identifier)->isVisible()) << identifier.toStdString();
    EXPECT_EQ(removals, 0);
    // Each embedded icon carries its own name for assistive technology
    const auto names = [] {
        QStringList named;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (!widget->accessibleName().isEmpty())
                named.append(widget->accessibleName());
        named.sort();
        return named;
    };
    const QStringList expected{"awake icon", "clipboard icon", "files icon"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return names() == expected; }, 2000))
        << names().join(", ").toStdString();

    // A click on each icon opens one of the menus
    XTestInput pointer;
    int opened = 0;
    for (const QRect& icon : embeddedWindows("StatusItemsTest")) {
        pointer.click(icon.center());
        for (QMenu& menu : menus) {
            if (QTest::qWaitFor([&] { return menu.isVisible(); }, 300)) {
                ++opened;
                menu.hide();
            }
        }
    }
    EXPECT_EQ(opened, 3);
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
