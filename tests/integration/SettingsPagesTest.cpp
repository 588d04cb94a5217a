// The settings pages on a real desktop: a workspace chip's "Edit…" opens the editor on its
// workspace and a rename there renames the chip, a layout card tiles real windows, and each page
// draws a picture holding its controls.
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/PictureChecks.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"

#include "core/ScreenHelpers.h"
#include "settings/LayoutSettings.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "settings/WorkspaceEditorView.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarView.h"
#include "sidebar/WorkspaceChip.h"
#include "snapping/LayoutFrames.h"
#include "workspaces/WorkspaceManager.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace corvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr int waitMs = 10000;

Workspace savedWorkspace(const QString& name, const QString& colour) {
    WorkspaceItem item;
    item.id = QUuid::createUuid();
    item.bundleID = QStringLiteral("xlogo");
    item.appName = QStringLiteral("xlogo");
    item.relativeFrame = QRectF(0.1, 0.1, 0.5, 0.6);
    return Workspace{QUuid::createUuid(), name, colour, std::nullopt, {item}, std::nullopt};
}

class SettingsPages : public ::testing::Test {
protected:
    ~SettingsPages() override {
        for (QProcess* program : m_programs)
            program->kill();
        for (QProcess* program : m_programs)
            program->waitForFinished(2000);
    }

    SettingsWindowController& controller() { return app.state().settingsWindow(); }
    SettingsPage* current() { return controller().window()->view().currentPage(); }
    xcb_window_t openLogo(int offset) {
        QProcess* program =
            desktop().launch(QStringLiteral("xlogo"),
                             {QStringLiteral("-geometry"),
                              QStringLiteral("220x160+%1+%2").arg(300 + 50 * offset).arg(200 + 40 * offset)});
        EXPECT_NE(program, nullptr);
        if (!program)
            return XCB_WINDOW_NONE;
        m_programs.push_back(program);
        const auto client = desktop().waitForClientWindow(program->processId(), 30s);
        EXPECT_TRUE(client.has_value());
        if (!client)
            return XCB_WINDOW_NONE;
        return client->window;
    }

    LiveApp app;
    std::vector<QProcess*> m_programs;
};

TEST_F(SettingsPages, EditOnAWorkspaceChipOpensTheEditorOnItAndARenameRenamesTheChip) {
    WorkspaceManager& manager = app.state().workspaces();
    manager.add(savedWorkspace(QStringLiteral("Mail"), QStringLiteral("#0A84FF")));
    const Workspace code = savedWorkspace(QStringLiteral("Code"), QStringLiteral("#30D158"));
    manager.add(code);
    SidebarController& strip = app.state().sidebar();
    strip.start();
    auto chip = [&]() -> WorkspaceChip* {
        auto* view = strip.panel() ? strip.panel()->findChild<SidebarView*>() : nullptr;
        return view ? view->workspaceChip(code.id) : nullptr;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return chip() && chip()->isVisible(); }, waitMs));

    // When "Edit…" is chosen in the second chip's menu
    std::unique_ptr<QMenu> menu(strip.panel()->findChild<SidebarView*>()->makeWorkspaceMenu(code));
    const QList<QAction*> entries = menu->actions();
    const auto edit = std::find_if(entries.begin(), entries.end(),
                                   [](QAction* a) { return a->text() == QStringLiteral("Edit\u2026"); });
    ASSERT_NE(edit, entries.end());
    (*edit)->trigger();

    // Then the settings open on the editor with that workspace's form
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller().window(), waitMs));
    auto* editor = qobject_cast<WorkspaceEditorView*>(current());
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor->detail(), nullptr);
    EXPECT_EQ(editor->detail()->copy().id, code.id);
    EXPECT_EQ(editor->detail()->nameField().text(), QStringLiteral("Code"));

    // And typing a new name there renames the chip
    QLineEdit& name = editor->detail()->nameField();
    name.selectAll();
    QTest::keyClicks(&name, QStringLiteral("Project"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return chip() && chip()->workspace().name == QStringLiteral("Project"); }, waitMs));
}

TEST_F(SettingsPages, AGridCardTilesTheRealWindowsOfTheScreenUnderThePointer) {
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < 4; ++i)
        windows.push_back(openLogo(i));
    controller().show(SettingsTab::layouts);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller().window(), waitMs));
    auto* page = qobject_cast<LayoutSettings*>(current());
    ASSERT_NE(page, nullptr);
    const auto screen = screenUnderMouse(*app.platform().screens);
    ASSERT_TRUE(screen.has_value());
    std::vector<QRect> expected;
    for (const QRectF& frame :
         frames(LayoutPreset::grid, 4, app.state().usableFrame(*screen), app.settings().layoutGap()))
        expected.push_back(frame.toRect());

    QTest::mouseClick(page->presetCards()[4], Qt::LeftButton);

    auto sorted = [](std::vector<QRect> rects) {
        std::sort(rects.begin(), rects.end(), [](const QRect& l, const QRect& r) {
            return std::make_pair(l.x(), l.y()) < std::make_pair(r.x(), r.y());
        });
        return rects;
    };
    const bool tiled = QTest::qWaitFor(
        [&] {
            std::vector<QRect> actual;
            for (xcb_window_t window : windows)
                actual.push_back(serverFrame(window));
            return sorted(actual) == sorted(expected);
        },
        waitMs);
    EXPECT_TRUE(tiled);
    EXPECT_EQ(app.settings().quickTilePreset(), LayoutPreset::halves);
}

TEST_F(SettingsPages, EachPageDrawsItsControlsNotATitleAlone) {
    app.state().workspaces().add(savedWorkspace(QStringLiteral("Mail"), QStringLiteral("#0A84FF")));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (SettingsTab tab : {SettingsTab::appearance, SettingsTab::snapWheel, SettingsTab::layouts,
                            SettingsTab::excluded, SettingsTab::workspaces}) {
        SCOPED_TRACE(rawValue(tab).toStdString());
        controller().show(tab);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller().window(), waitMs));
        SettingsPage* page = current();
        ASSERT_EQ(page->tab(), tab);
        // The page has drawn its controls (and the wheel its entrance).
        (void)QTest::qWaitFor([&] { return distinctColours(page->grab().toImage(), 24) >= 24; }, waitMs);
        const QImage picture = controller().window()->grab().toImage();
        EXPECT_TRUE(picture.save(folder + QStringLiteral("/page-%1.png").arg(rawValue(tab))));
        EXPECT_GE(distinctColours(page->grab().toImage(), 24), 24);
        int controls = 0;
        for (QWidget* widget : page->findChildren<QWidget*>())
            if (widget->isVisible() &&
                (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                 qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QLineEdit*>(widget)))
                ++controls;
        EXPECT_GE(controls, 4);
    }
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
