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
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <utility>
#include <vector>

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
    EXPECT_TRUE(QTest::qWaitFor([&] { return items.statusItemsHiddenBySystem(); }, 10000));

    ASSERT_TRUE(desktop().startTrayHost());
    EXPECT_TRUE(QTest::qWaitFor([&] { return embeddedWindows("StatusItemsTest").size() == 3; }, 10000));
    for (const QString& identifier : identifiers)
        EXPECT_TRUE(items.statusItem(identifier)->isVisible()) << identifier.toStdString();
    EXPECT_EQ(removals, 0);
    // Each embedded icon carries its own item's name for assistive technology: a click on the
    // one named for an item opens that item's menu
    std::map<QString, QWidget*> named;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            named.clear();
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (!widget->accessibleName().isEmpty())
                    named[widget->accessibleName()] = widget;
            return named.size() == identifiers.size();
        },
        10000));
    // The tray host lays its icons out again as each one comes: the clicks wait until none has
    // moved for a while.
    const auto places = [&] {
        std::vector<QRect> all;
        for (const QString& identifier : identifiers)
            if (QWidget* icon = named[identifier + QStringLiteral(" icon")])
                all.push_back(serverClientFrame(static_cast<xcb_window_t>(icon->winId())));
        return all;
    };
    std::vector<QRect> laidOut = places();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QTest::qWait(300);
            const std::vector<QRect> now = places();
            return std::exchange(laidOut, now) == now;
        },
        10000));
    XTestInput pointer;
    for (size_t i = 0; i < identifiers.size(); ++i) {
        QWidget* icon = named[identifiers[i] + QStringLiteral(" icon")];
        ASSERT_NE(icon, nullptr) << identifiers[i].toStdString();
        // and says where it sits, for what opens under it
        const QRect place = serverClientFrame(static_cast<xcb_window_t>(icon->winId()));
        EXPECT_EQ(items.statusItem(identifiers[i])->geometry(), place) << identifiers[i].toStdString();
        pointer.click(place.center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return menus[i].isVisible(); }, 10000))
            << identifiers[i].toStdString();
        for (QMenu& menu : menus)
            menu.hide();
    }
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
