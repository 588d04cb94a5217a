#include "RecorderFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>

namespace corvane::testing {
namespace {

using RecorderControlTest = RecorderFixture;

TEST_F(RecorderControlTest, RecordingACombinationStoresItsJsonUnderTheNameAndEndsRecording) {
    // Given a recorder of a name without shortcut in an active window
    RecorderControl* control = addControl(withoutDefault);
    showWindow();
    EXPECT_EQ(control->text(), QString());
    EXPECT_FALSE(control->clearButton()->isVisible());
    // Focused only because its window opened, it does not record
    EXPECT_TRUE(control->hasFocus());
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());

    // When the user clicks it, it records with the hot keys paused
    click(control);
    ASSERT_TRUE(control->isRecording());
    EXPECT_EQ(RecorderControl::activeRecorder(), control);
    EXPECT_TRUE(registry.isPaused());
    EXPECT_EQ(activeStatuses, std::vector<bool>{true});

    // When Option+Shift+K is typed
    type(control, Key::k, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);

    // Then its JSON text is stored under the name's key, reported once, shown, and recording ended
    EXPECT_EQ(stored(withoutDefault), Json(R"({"carbonKeyCode":40,"carbonModifiers":2560})"));
    EXPECT_EQ(changes, std::vector<std::optional<Shortcut>>{optionShiftK});
    EXPECT_EQ(posted, std::vector<QString>{withoutDefault.rawValue});
    EXPECT_EQ(control->text(), QStringLiteral("Alt+Shift+K"));
    EXPECT_TRUE(control->clearButton()->isVisible());
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());
    EXPECT_EQ(activeStatuses, (std::vector<bool>{true, false}));
    EXPECT_EQ(RecorderControl::activeRecorder(), nullptr);
    EXPECT_EQ(host.beepCount, 0);
}

TEST_F(RecorderControlTest, KeysWithoutARealModifierAreRefusedWithABeepExceptFunctionKeys) {
    RecorderControl* control = addControl(withoutDefault);
    showWindow();
    click(control);

    // A letter alone, and with Shift only, beeps; nothing is stored and recording goes on
    type(control, Key::k, Qt::Key_K);
    type(control, Key::k, Qt::Key_K, Qt::ShiftModifier);
    EXPECT_EQ(host.beepCount, 2);
    EXPECT_FALSE(stored(withoutDefault));
    EXPECT_TRUE(control->isRecording());

    // A modifier key pressed on its own is no combination and no mistake either
    type(control, Key::option, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(host.beepCount, 2);
    EXPECT_TRUE(control->isRecording());

    // A key the keyboard cannot name in the stored form beeps
    QKeyEvent unknown(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier, /*nativeScanCode=*/999, 0, 0);
    QApplication::sendEvent(control, &unknown);
    EXPECT_EQ(host.beepCount, 3);
    EXPECT_FALSE(stored(withoutDefault));

    // Shift+F5 needs no other modifier
    type(control, Key::f5, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(registry.getShortcut(withoutDefault), shortcut(Key::f5, ModifierFlags::shift));
    EXPECT_EQ(host.beepCount, 3);
}

TEST_F(RecorderControlTest, EscapeCancelsTabMovesOnAndBothWorkAsCombinationsWithAModifier) {
    registry.seed(withDefault);
    RecorderControl* control = addControl(withDefault);
    auto* next = place(new QLineEdit);
    showWindow();

    // Escape alone ends recording and keeps the shortcut
    click(control);
    type(control, Key::escape, Qt::Key_Escape);
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftS);

    // Tab alone ends recording and still moves the focus on
    click(control);
    type(control, Key::tab, Qt::Key_Tab);
    EXPECT_FALSE(control->isRecording());
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftS);

    // With a modifier both are recorded like any other key
    click(control);
    type(control, Key::tab, Qt::Key_Tab, Qt::AltModifier);
    EXPECT_EQ(registry.getShortcut(withDefault), shortcut(Key::tab, ModifierFlags::option));
    click(control);
    type(control, Key::escape, Qt::Key_Escape, Qt::MetaModifier);
    EXPECT_EQ(registry.getShortcut(withDefault), shortcut(Key::escape, ModifierFlags::command));
}

TEST_F(RecorderControlTest, ClearingStoresFalseForANameWithADefaultAndRemovesTheKeyOtherwise) {
    registry.seed(withDefault);
    registry.setShortcut(optionShiftK, withoutDefault);
    RecorderControl* withDefaultControl = addControl(withDefault);
    RecorderControl* withoutDefaultControl = addControl(withoutDefault);
    showWindow();
    changes.clear();

    // When the clear button of a name with a default is clicked
    click(withDefaultControl->clearButton());

    // Then false is stored, so the default stays away; the field is empty and records at once
    EXPECT_EQ(stored(withDefault), Json(false));
    EXPECT_EQ(withDefaultControl->text(), QString());
    EXPECT_FALSE(withDefaultControl->clearButton()->isVisible());
    EXPECT_EQ(changes, std::vector<std::optional<Shortcut>>{std::nullopt});
    EXPECT_TRUE(withDefaultControl->isRecording());

    // When Backspace is pressed while the other one records, its name loses its key
    click(withoutDefaultControl);
    type(withoutDefaultControl, Key::deleteKey, Qt::Key_Backspace);
    EXPECT_FALSE(stored(withoutDefault));
    EXPECT_TRUE(withoutDefaultControl->isRecording());
    EXPECT_EQ(changes.size(), 2u);

    // Backspace in an empty field changes nothing
    type(withoutDefaultControl, Key::deleteKey, Qt::Key_Backspace);
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(RecorderControlTest, AResetShowsTheRestoredDefaultAndNeverWritesOverIt) {
    // Given a name whose user removed its shortcut, shown in a recorder
    registry.seed(withDefault);
    RecorderControl* control = addControl(withDefault);
    showWindow();
    click(control->clearButton());
    type(control, Key::escape, Qt::Key_Escape);
    ASSERT_EQ(stored(withDefault), Json(false));

    // When the names are reset elsewhere
    registry.reset({withDefault});
    posted.clear();

    // Then the recorder shows the default, and nothing it does afterwards writes the removal back
    EXPECT_EQ(control->text(), QStringLiteral("Alt+Shift+S"));
    EXPECT_TRUE(control->clearButton()->isVisible());
    control->setShortcutName(withDefault);
    control->setShortcut(optionShiftS);
    click(control);
    type(control, Key::escape, Qt::Key_Escape);
    window.hide();
    EXPECT_EQ(stored(withDefault), Json(optionShiftS.jsonText()));
    EXPECT_TRUE(posted.empty());
}

TEST_F(RecorderControlTest, TheApplicationsOwnShortcutsDoNotFireWhileRecording) {
    // Given a global hot key bound to an action and a shortcut of the window on the same keys
    registry.setShortcut(optionShiftK, withoutDefault);
    int hotKeyRuns = 0;
    registry.onKeyDown(withoutDefault, [&] { ++hotKeyRuns; });
    int windowShortcutRuns = 0;
    auto* action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_K));
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, [&] { ++windowShortcutRuns; });
    RecorderControl* control = addControl(withDefault);
    showWindow();
    ASSERT_TRUE(isTaken(optionShiftK));

    // When the recorder records, the desktop has the combination back and the window's shortcut holds off
    click(control);
    EXPECT_FALSE(isTaken(optionShiftK));
    EXPECT_FALSE(press(optionShiftK));
    type(control, Key::k, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(windowShortcutRuns, 0);
    EXPECT_EQ(hotKeyRuns, 0);
    EXPECT_EQ(registry.getShortcut(withDefault), optionShiftK);

    // Then once recording ended, both work again
    ASSERT_FALSE(control->isRecording());
    EXPECT_TRUE(press(optionShiftK));
    EXPECT_EQ(hotKeyRuns, 1);
    type(control, Key::k, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(windowShortcutRuns, 1);
}

TEST_F(RecorderControlTest, AClickOutsideTheFieldEndsRecordingBeyondASmallMargin) {
    RecorderControl* control = addControl(withoutDefault);
    showWindow();
    click(control);
    auto releaseAt = [&](QPointF local) {
        const QPointF global = control->mapToGlobal(local);
        QMouseEvent release(QEvent::MouseButtonRelease, window.mapFromGlobal(global), global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &release);
    };

    releaseAt({-2, 5});
    releaseAt({control->width() + 2.0, 5});
    EXPECT_TRUE(control->isRecording());

    releaseAt({-4, 5});
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());
}

TEST_F(RecorderControlTest, MovingFromOneRecorderToAnotherLeavesOnlyTheSecondRecordingWithHotKeysPaused) {
    RecorderControl* first = addControl(withDefault);
    RecorderControl* second = addControl(withoutDefault);
    showWindow();

    click(first);
    click(second);
    EXPECT_FALSE(first->isRecording());
    EXPECT_TRUE(second->isRecording());
    EXPECT_EQ(RecorderControl::activeRecorder(), second);
    EXPECT_TRUE(registry.isPaused());
    EXPECT_TRUE(activeStatuses.back());

    type(second, Key::escape, Qt::Key_Escape);
    EXPECT_FALSE(registry.isPaused());
    EXPECT_FALSE(activeStatuses.back());
}

TEST_F(RecorderControlTest, LeavingTheWindowEndsRecordingAndComingBackDoesNotRestartIt) {
    RecorderControl* control = addControl(withoutDefault);
    showWindow();
    click(control);

    QWidget other;
    other.show();
    other.activateWindow();
    QCoreApplication::processEvents();
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());

    window.activateWindow();
    QCoreApplication::processEvents();
    EXPECT_FALSE(control->isRecording());
    EXPECT_FALSE(registry.isPaused());

    // A click on the field records again
    click(control);
    EXPECT_TRUE(control->isRecording());
}

TEST_F(RecorderControlTest, ANameChangedElsewhereRefreshesTheFieldAndANewNameShowsAtOnce) {
    RecorderControl* control = addControl(withoutDefault);
    registry.setShortcut(optionShiftK, withoutDefault);
    EXPECT_EQ(control->text(), QStringLiteral("Alt+Shift+K"));

    // Another name's change leaves the field alone
    registry.setShortcut(shortcut(Key::a, ModifierFlags::control), Name(QStringLiteral("other")));
    EXPECT_EQ(control->text(), QStringLiteral("Alt+Shift+K"));

    registry.seed(withDefault);
    control->setShortcutName(withDefault);
    EXPECT_EQ(control->text(), QStringLiteral("Alt+Shift+S"));
}

TEST_F(RecorderControlTest, BindingModeHoldsTheShortcutItselfAndNeverTouchesTheStore) {
    auto* control = place(new RecorderControl(services(), optionShiftS, onChange()));
    showWindow();
    EXPECT_EQ(control->text(), QStringLiteral("Alt+Shift+S"));

    click(control);
    type(control, Key::k, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(control->shortcut(), optionShiftK);
    EXPECT_EQ(changes, std::vector<std::optional<Shortcut>>{optionShiftK});

    // Set from outside: shown, not reported
    control->setShortcut(std::nullopt);
    EXPECT_EQ(control->text(), QString());
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_TRUE(defaults.keys().empty());
    EXPECT_TRUE(posted.empty());
}

} // namespace
} // namespace corvane::testing
