#include "support/AppFixture.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/Registry.h"
#include "app/Hotkeys.h"
#include "settings/FormSection.h"
#include "settings/HotkeySettings.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace corvane::testing {
namespace {

using ShortcutKit::Recorder;

class HotkeySettingsTest : public AppFixture {
protected:
    HotkeySettingsTest() {
        buildState();
        registerHotkeys(*state);
        page = std::make_unique<HotkeySettings>(state->settingsServices());
        page->resize(700, 900);
        page->show();
    }

    static QString labelOf(const Recorder* recorder) {
        // The row's title is the first line of its label.
        const auto* label = recorder->label()->findChild<QLabel*>();
        return label ? label->text() : QString();
    }
    QStringList rowLabels() const {
        QStringList labels;
        for (const Recorder* recorder : page->recorders())
            labels << labelOf(recorder);
        return labels;
    }

    std::unique_ptr<HotkeySettings> page;
};

TEST_F(HotkeySettingsTest, EveryShortcutHasARowInItsSectionWhateverWorkspacesExist) {
    // No workspace exists, yet all nine slots have a row
    const QList<FormSection*> sections = page->findChildren<FormSection*>();
    ASSERT_EQ(sections.size(), 4);
    EXPECT_EQ(sections[0]->header(), QStringLiteral("Sidebar"));
    EXPECT_EQ(sections[0]->rowCount(), 4);
    EXPECT_EQ(sections[1]->header(), QStringLiteral("Snapping"));
    EXPECT_EQ(sections[1]->rowCount(), 8);
    EXPECT_EQ(sections[2]->header(), QStringLiteral("Workspaces"));
    EXPECT_EQ(sections[2]->rowCount(), 9);
    EXPECT_EQ(sections[3]->header(), QString());

    ASSERT_EQ(page->recorders().size(), 21u);
    QStringList names;
    for (const Recorder* recorder : page->recorders())
        names << std::get<ShortcutKit::Name>(recorder->shortcutSource()).rawValue;
    QStringList expected;
    for (const ShortcutKit::Name& name : AppShortcuts::allNames())
        expected << name.rawValue;
    EXPECT_EQ(names, expected);

    const QStringList labels = rowLabels();
    EXPECT_EQ(labels[0], QStringLiteral("Show / hide sidebar"));
    EXPECT_EQ(labels[4], QStringLiteral("Left half (repeat: ⅔ → ⅓)"));
    EXPECT_EQ(labels[11], QStringLiteral("Tile visible windows"));
    EXPECT_EQ(labels[12], QStringLiteral("Restore workspace 1"));
    EXPECT_EQ(labels[20], QStringLiteral("Restore workspace 9"));
}

TEST_F(HotkeySettingsTest, ResetBringsBackAClearedDefaultInTheRowAndAsAHotKey) {
    ShortcutKit::Registry& shortcuts = state->shortcuts();
    const ShortcutKit::Shortcut snapLeftDefault = *AppShortcuts::snapLeft().initialShortcut;
    Recorder* snapLeft = page->recorder(QStringLiteral("snapLeft"));
    ASSERT_NE(snapLeft, nullptr);
    const QString defaultText = snapLeft->control().text();
    ASSERT_FALSE(defaultText.isEmpty());
    ASSERT_TRUE(shortcuts.isRegistered(snapLeftDefault));

    // Given the user cleared the left-half shortcut in its row
    snapLeft->control().clearButton()->click();
    EXPECT_EQ(snapLeft->control().text(), QString());
    EXPECT_EQ(shortcuts.getShortcut(AppShortcuts::snapLeft()), std::nullopt);
    EXPECT_FALSE(shortcuts.isRegistered(snapLeftDefault));

    // When every shortcut is reset
    page->resetButton().click();

    // Then the default is back in the row and as a global hot key, and the rows are the same
    EXPECT_EQ(snapLeft->control().text(), defaultText);
    EXPECT_EQ(shortcuts.getShortcut(AppShortcuts::snapLeft()), snapLeftDefault);
    EXPECT_TRUE(shortcuts.isRegistered(snapLeftDefault));
    EXPECT_EQ(page->recorders().size(), 21u);
    EXPECT_EQ(rowLabels()[12], QStringLiteral("Restore workspace 1"));
}

TEST_F(HotkeySettingsTest, AClickJustOutsideAFieldKeepsItRecordingAndAFewPointsFurtherEndsIt) {
    // A whole click, press and release, on the page around the field: whatever lies there may
    // take the focus on the press.
    page->activateWindow();
    QCoreApplication::processEvents();
    ShortcutKit::RecorderControl& field = page->recorder(QStringLiteral("snapLeft"))->control();
    const auto clickAt = [&](QPoint local) {
        const QPoint point = field.mapTo(page.get(), local);
        QTest::mousePress(page->windowHandle(), Qt::LeftButton, {}, point);
        QTest::mouseRelease(page->windowHandle(), Qt::LeftButton, {}, point);
    };
    clickAt(field.rect().center());
    ASSERT_TRUE(field.isRecording());

    clickAt({-2, field.height() / 2});
    clickAt({field.width() + 1, field.height() / 2});
    clickAt({field.width() / 2, -2});
    EXPECT_TRUE(field.isRecording());

    clickAt({-4, field.height() / 2});
    EXPECT_FALSE(field.isRecording());
    EXPECT_FALSE(state->shortcuts().isPaused());
}

} // namespace
} // namespace corvane::testing
