// The General, Permissions and About pages in the settings window on a real X server: each one's
// picture is written under the build folder and holds its rows, not a title alone.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/PictureChecks.h"

#include "settings/SettingsPage.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(GeneralPermissionsAbout, EachPageDrawsItsRows) {
    LiveApp app;
    SettingsWindowController& controller = app.state().settingsWindow();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    // What each page shows at least, besides its title: switches and pickers, or lines of text.
    const std::pair<SettingsTab, int> pages[] = {
        {SettingsTab::general, 20}, {SettingsTab::permissions, 4}, {SettingsTab::about, 4}};
    for (const auto& [tab, rows] : pages) {
        SCOPED_TRACE(rawValue(tab).toStdString());
        controller.show(tab);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller.window(), 5000));
        QCoreApplication::processEvents();
        SettingsPage* page = controller.window()->view().currentPage();
        ASSERT_EQ(page->tab(), tab);
        const QImage picture = controller.window()->grab().toImage();
        EXPECT_TRUE(picture.save(folder + QStringLiteral("/page-%1.png").arg(rawValue(tab))));
        EXPECT_GE(distinctColours(page->grab().toImage(), 24), 24);
        int shown = 0;
        for (QWidget* widget : page->findChildren<QWidget*>())
            if (widget->isVisible() && (qobject_cast<QAbstractButton*>(widget) ||
                                        qobject_cast<QComboBox*>(widget) || qobject_cast<QLabel*>(widget)))
                ++shown;
        EXPECT_GE(shown, rows);
    }
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
