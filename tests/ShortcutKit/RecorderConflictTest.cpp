#include "RecorderFixture.h"

#include "ShortcutKit/ConflictPolicyEnvironment.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/RecorderAlerts.h"
#include "ShortcutKit/RecorderTexts.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <unordered_set>

namespace corvane::testing {
namespace {

class RecorderConflictTest : public RecorderFixture {
protected:
    // A recorder of a name without shortcut, recording in an active window.
    RecorderControl* recording() {
        RecorderControl* control = addControl(withoutDefault);
        showWindow();
        click(control);
        return control;
    }
    void typeOptionShiftK(RecorderControl* control) {
        type(control, Key::k, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);
    }
};

TEST_F(RecorderConflictTest, PoliciesCompareAndHashByTheirThreeBehaviours) {
    const ConflictPolicy standard;
    EXPECT_EQ(standard.menuItem, ConflictBehavior::block);
    EXPECT_EQ(standard.systemShortcut, ConflictBehavior::warn);
    EXPECT_EQ(standard.disallowed, ConflictBehavior::block);
    EXPECT_EQ(standard, ConflictPolicy::defaultPolicy());
    EXPECT_NE(ConflictPolicy::defaultPolicy(), ConflictPolicy::permissive());
    const ConflictPolicy menuAllowed{ConflictBehavior::allow, ConflictBehavior::warn,
                                     ConflictBehavior::block};
    const std::unordered_set<ConflictPolicy> policies{standard, ConflictPolicy::defaultPolicy(), menuAllowed};
    EXPECT_EQ(policies.size(), 2u);
}

TEST_F(RecorderConflictTest, AMenuItemsCombinationIsRefusedWithOneButtonByDefault) {
    // Given a menu item that uses Option+Shift+K
    conflicts.menuItems[optionShiftK] = QStringLiteral("Show Notes");
    RecorderControl* control = recording();

    // When it is recorded
    typeOptionShiftK(control);

    // Then the alert names the item, offers no choice, nothing is stored and recording goes on
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_TRUE(alerts.shown[0].message.contains(QStringLiteral("Show Notes")));
    EXPECT_TRUE(alerts.shown[0].buttons.isEmpty());
    EXPECT_FALSE(alerts.shown[0].informativeText);
    EXPECT_FALSE(stored(withoutDefault));
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(control->isRecording());
    EXPECT_TRUE(registry.isPaused());
}

TEST_F(RecorderConflictTest, TheMenusApplicationWideKeysAreRefusedByTitleBeforeTheDesktopIsAsked) {
    // Given the desktop's checks with the tray menu's keys handed in, and Ctrl+Q held by the
    // desktop too
    registry.setMenuItems({{QKeySequence(Qt::CTRL | Qt::Key_Comma), QStringLiteral("Settings\u2026")},
                           {QKeySequence(Qt::CTRL | Qt::Key_Q), QStringLiteral("Quit Corvane")}});
    const Shortcut controlQ = shortcut(Key::q, ModifierFlags::control);
    hotKeys.refuse(controlQ.carbonKeyCode, controlQ.carbonModifiers);
    const RecorderServices desktop{registry, notifications, host, alerts, registry.conflicts()};
    RecorderControl* control = place(new RecorderControl(desktop, withoutDefault, onChange()));
    showWindow();
    click(control);

    // Ctrl+Q is the menu item's: refused with its title, no choice, the desktop not even asked
    type(control, Key::q, Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message,
              recorderText("keyboard_shortcut_used_by_menu_item").arg(QStringLiteral("Quit Corvane")));
    EXPECT_TRUE(alerts.shown[0].buttons.isEmpty());
    EXPECT_EQ(hotKeys.heldElsewhereQueries(), 0);
    EXPECT_FALSE(stored(withoutDefault));

    // Ctrl+, too; Ctrl+Shift+Q is no item's and is taken
    type(control, Key::comma, Qt::Key_Comma, Qt::ControlModifier);
    ASSERT_EQ(alerts.shown.size(), 2u);
    EXPECT_TRUE(alerts.shown[1].message.contains(QStringLiteral("Settings\u2026")));
    type(control, Key::q, Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(alerts.shown.size(), 2u);
    EXPECT_EQ(registry.getShortcut(withoutDefault),
              shortcut(Key::q, ModifierFlags::control | ModifierFlags::shift));
}

TEST_F(RecorderConflictTest, RecordingTheShortcutTheFieldHoldsSkipsTheMenuCheck) {
    registry.setShortcut(optionShiftK, withoutDefault);
    conflicts.menuItems[optionShiftK] = QStringLiteral("Show Notes");
    RecorderControl* control = recording();

    typeOptionShiftK(control);

    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(changes, std::vector<std::optional<Shortcut>>{optionShiftK});
}

TEST_F(RecorderConflictTest, ASystemShortcutIsTakenOnlyWhenTheUserForcesIt) {
    conflicts.system.insert(optionShiftK);
    RecorderControl* control = recording();
    // While the alert is up, nothing records and the hot keys work
    bool recordingDuringAlert = true;
    alerts.onShow = [&] { recordingDuringAlert = control->isRecording() || registry.isPaused(); };

    // "OK" keeps the old state
    typeOptionShiftK(control);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].buttons, (QStringList{recorderText("ok"), recorderText("force_use_shortcut")}));
    EXPECT_EQ(alerts.shown[0].message, recorderText("keyboard_shortcut_used_by_system"));
    EXPECT_EQ(alerts.shown[0].informativeText, recorderText("keyboard_shortcuts_can_be_changed"));
    EXPECT_FALSE(recordingDuringAlert);
    EXPECT_FALSE(stored(withoutDefault));
    EXPECT_TRUE(control->isRecording());

    // "Use Anyway" stores it
    alerts.answer = RecorderAlerts::secondButton;
    typeOptionShiftK(control);
    EXPECT_EQ(registry.getShortcut(withoutDefault), optionShiftK);
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());
}

TEST_F(RecorderConflictTest, ACombinationTheDesktopRefusesWarnsBeforeValidationAndF12AloneNever) {
    // Given the desktop's own checks, another program holding Ctrl+Alt+Left and F12, and a
    // validation that counts its calls
    const Shortcut controlAltLeft = shortcut(Key::leftArrow, controlOption);
    hotKeys.refuse(controlAltLeft.carbonKeyCode, controlAltLeft.carbonModifiers);
    hotKeys.refuse(Key::f12.rawValue, 0);
    const RecorderServices desktop{registry, notifications, host, alerts, registry.conflicts()};
    RecorderControl* control = place(new RecorderControl(desktop, withoutDefault, onChange()));
    int validations = 0;
    control->setValidateShortcut([&](const Shortcut&) {
        ++validations;
        return ValidationResult::allow();
    });
    showWindow();
    click(control);

    // Ctrl+Alt+Left: the system alert, before validation; "OK" takes nothing
    type(control, Key::leftArrow, Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, recorderText("keyboard_shortcut_used_by_system"));
    EXPECT_EQ(alerts.shown[0].informativeText, recorderText("keyboard_shortcuts_can_be_changed"));
    EXPECT_EQ(validations, 0);
    EXPECT_FALSE(stored(withoutDefault));

    // "Use Anyway" goes on to validation and stores it
    alerts.answer = RecorderAlerts::secondButton;
    type(control, Key::leftArrow, Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(registry.getShortcut(withoutDefault), controlAltLeft);

    // F12 alone is never the system's: the desktop is not even asked
    const int asked = hotKeys.heldElsewhereQueries();
    click(control);
    type(control, Key::f12, Qt::Key_F12);
    EXPECT_EQ(alerts.shown.size(), 2u);
    EXPECT_EQ(hotKeys.heldElsewhereQueries(), asked);
    EXPECT_EQ(registry.getShortcut(withoutDefault), shortcut(Key::f12, 0));
}

TEST_F(RecorderConflictTest, ADisallowedCombinationIsRefusedUnlessThePolicyAllowsIt) {
    conflicts.disallowed.insert(optionShiftK);
    RecorderControl* control = recording();

    // Warn refuses just like block: there is no way to force it
    control->setConflictPolicy({ConflictBehavior::block, ConflictBehavior::warn, ConflictBehavior::warn});
    alerts.answer = RecorderAlerts::secondButton;
    typeOptionShiftK(control);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, recorderText("keyboard_shortcut_disallowed"));
    EXPECT_TRUE(alerts.shown[0].buttons.isEmpty());
    EXPECT_FALSE(stored(withoutDefault));

    control->setConflictPolicy({ConflictBehavior::block, ConflictBehavior::warn, ConflictBehavior::allow});
    typeOptionShiftK(control);
    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(registry.getShortcut(withoutDefault), optionShiftK);
}

TEST_F(RecorderConflictTest, AKeyTheVolumeDisplayHoldsIsRefusedAsOursAndNamedAsTheKeyboardLabelsIt) {
    // Given the desktop's own checks while the volume display's tap holds Volume Up with any
    // modifiers
    hotKeys.holdInOwnKeyTap(Key::volumeUp.rawValue);
    const RecorderServices desktop{registry, notifications, host, alerts, registry.conflicts()};
    RecorderControl* control = place(new RecorderControl(desktop, withoutDefault, onChange()));
    showWindow();
    click(control);

    // Ctrl+Volume Up: refused with the alert that offers no way to force it, nothing stored
    type(control, Key::volumeUp, Qt::Key_VolumeUp, Qt::ControlModifier);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, recorderText("keyboard_shortcut_disallowed"));
    EXPECT_TRUE(alerts.shown[0].buttons.isEmpty());
    EXPECT_FALSE(stored(withoutDefault));

    // Once the tap lets go it is taken, and shown by the key's name
    hotKeys.holdInOwnKeyTap(Key::volumeUp.rawValue, false);
    type(control, Key::volumeUp, Qt::Key_VolumeUp, Qt::ControlModifier);
    EXPECT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(registry.getShortcut(withoutDefault), shortcut(Key::volumeUp, ModifierFlags::control));
    EXPECT_EQ(control->text(), QStringLiteral("Ctrl+Volume Up"));
}

TEST_F(RecorderConflictTest, ThePermissivePolicyTakesEveryCollisionWithoutAWord) {
    conflicts.menuItems[optionShiftK] = QStringLiteral("Show Notes");
    conflicts.system.insert(optionShiftK);
    conflicts.disallowed.insert(optionShiftK);
    RecorderControl* control = recording();
    control->setConflictPolicy(ConflictPolicy::permissive());

    typeOptionShiftK(control);

    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(registry.getShortcut(withoutDefault), optionShiftK);
}

TEST_F(RecorderConflictTest, AValidationRefusalShowsItsReasonAndKeepsTheOldShortcut) {
    registry.seed(withDefault);
    RecorderControl* control = addControl(withDefault);
    control->setValidateShortcut([](const Shortcut& s) {
        return s.carbonKeyCode == Key::k.rawValue ? ValidationResult::disallow(QStringLiteral("K is mine"))
                                                  : ValidationResult::allow();
    });
    showWindow();
    click(control);

    typeOptionShiftK(control);

    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, QStringLiteral("K is mine"));
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftS);
    EXPECT_TRUE(control->isRecording());
}

TEST_F(RecorderConflictTest, ARecorderViewTakesThePolicyOfItsSurroundingsBeforeEachRecording) {
    // Given a recorder view made before its window chose a policy
    conflicts.system.insert(optionShiftK);
    auto* recorder = place(new Recorder(services(), withoutDefault));
    EXPECT_EQ(recorder->control().conflictPolicy(), ConflictPolicy::defaultPolicy());
    showWindow();

    // When the window chooses the permissive policy
    setShortcutKitConflictPolicy(window, ConflictPolicy::permissive());
    click(&recorder->control());
    typeOptionShiftK(&recorder->control());

    // Then the next recording already follows it
    EXPECT_EQ(recorder->control().conflictPolicy(), ConflictPolicy::permissive());
    EXPECT_TRUE(alerts.shown.empty());
    EXPECT_EQ(registry.getShortcut(withoutDefault), optionShiftK);
}

TEST(RecorderAlertsTest, EscapeOrClosingTheRealAlertCancelsRatherThanUsingTheShortcut) {
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "closed" : "escape");
        QTimer::singleShot(0, [closing] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            if (closing)
                box->close();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        const int answer = ShortcutKit::RecorderAlerts::standard().showAlert(
            nullptr, QStringLiteral("Taken"), std::nullopt,
            {QStringLiteral("OK"), QStringLiteral("Use Anyway")});
        EXPECT_EQ(answer, ShortcutKit::RecorderAlerts::firstButton);
    }
}

} // namespace
} // namespace corvane::testing
