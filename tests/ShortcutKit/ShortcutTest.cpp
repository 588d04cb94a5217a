#include "ShortcutKit/Shortcut.h"
#include "platform/fake/FakeKeyboard.h"
#include "support/QtPrinting.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using namespace corvane::ShortcutKit;

TEST(ModifierFlagsTest, TheStoredFormKeepsExactlyTheFiveModifiers) {
    // Given stored bits with caps lock (0x400) and right shift (0x2000) beside the five modifiers
    const qint64 five = CarbonModifiers::control | CarbonModifiers::option | CarbonModifiers::shift |
                        CarbonModifiers::command | CarbonModifiers::function;
    // When they go to flags and back, only the five survive
    EXPECT_EQ(ModifierFlags::fromCarbon(five | 0x400 | 0x2000).carbon(), five);
    // Caps lock and the numeric pad never reach the stored form; the pad becomes Qt's keypad flag
    const ModifierFlags padded(ModifierFlags::capsLock | ModifierFlags::numericPad | ModifierFlags::option);
    EXPECT_EQ(padded.carbon(), CarbonModifiers::option);
    EXPECT_EQ(padded.qtModifiers(), Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(ModifierFlags::fromQt(Qt::MetaModifier | Qt::ControlModifier).carbon(),
              CarbonModifiers::command | CarbonModifiers::control);
    // Names come in Qt's fixed order whatever order the flags were given in
    EXPECT_EQ(ModifierFlags(ModifierFlags::command | ModifierFlags::shift | ModifierFlags::option |
                            ModifierFlags::control)
                  .presentableDescription(),
              QStringLiteral("Super+Ctrl+Alt+Shift+"));
    EXPECT_EQ(ModifierFlags(ModifierFlags::function).presentableDescription(), QStringLiteral("Fn+"));
    EXPECT_EQ(ModifierFlags(ModifierFlags::function).carbon(), 0x20000);
}

TEST(ShortcutTest, BuiltShortcutsAreNormalisedButStoredTextKeepsItsBits) {
    // A shortcut built with caps lock compares equal to the one without
    EXPECT_EQ(Shortcut(Key::s, ModifierFlags(ModifierFlags::option | ModifierFlags::capsLock)),
              Shortcut(Key::s, ModifierFlags(ModifierFlags::option)));
    EXPECT_EQ(Shortcut::fromCarbon(1, 0x800 | 0x400).carbonModifiers, 0x800);
    // One read from stored text keeps what the text holds
    const auto stored = Shortcut::fromJsonText(R"({"carbonKeyCode":1,"carbonModifiers":3072})");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->carbonModifiers, 3072);
}

TEST(ShortcutTest, StoredFormRoundTripsAndDamagedOrHostileTextReadsAsNoShortcut) {
    const Shortcut optionShiftS(Key::s, ModifierFlags(ModifierFlags::option | ModifierFlags::shift));
    EXPECT_EQ(optionShiftS.jsonText(), R"({"carbonKeyCode":1,"carbonModifiers":2560})");
    // Member order and white space carry no meaning
    EXPECT_EQ(Shortcut::fromJsonText(" { \"carbonModifiers\" : 2560, \"carbonKeyCode\" : 1 } "),
              optionShiftS);

    for (const char* damaged : {
             "",                                                   // not JSON
             "{\"carbonKeyCode\":1}",                              // a member missing
             "[1, 2560]",                                          // not an object
             "{\"carbonKeyCode\":\"1\",\"carbonModifiers\":2560}", // a string number
             "{\"carbonKeyCode\":1.5,\"carbonModifiers\":2560}",   // not an integer
             "{\"carbonKeyCode\":-1,\"carbonModifiers\":2560}",    // no key has a negative code
             "{\"carbonKeyCode\":65536,\"carbonModifiers\":0}",    // beyond a 16-bit key code
             "{\"carbonKeyCode\":1,\"carbonModifiers\":-1}",       // every bit set
             "{\"carbonKeyCode\":1,\"carbonModifiers\":4294967296}",
             "{\"carbonKeyCode\":18446744073709551615,\"carbonModifiers\":0}",
             "{\"carbonKeyCode\":1e300,\"carbonModifiers\":0}",
         }) {
        SCOPED_TRACE(damaged);
        EXPECT_FALSE(Shortcut::fromJsonText(damaged));
    }
}

TEST(ShortcutTest, DisplayTextTakesSpecialKeysFromTheTableAndOthersFromTheLayout) {
    FakeKeyboard keyboard;
    auto text = [&](Key key, quint64 modifiers = 0) {
        return Shortcut(key, ModifierFlags(modifiers)).description(keyboard);
    };
    EXPECT_EQ(text(Key::s, ModifierFlags::option | ModifierFlags::shift), QStringLiteral("Alt+Shift+S"));
    EXPECT_EQ(text(Key::leftArrow, ModifierFlags::control | ModifierFlags::option),
              QStringLiteral("Ctrl+Alt+Left"));
    EXPECT_EQ(text(Key::f5), QStringLiteral("F5"));
    EXPECT_EQ(text(Key::f20), QStringLiteral("F20"));
    EXPECT_EQ(text(Key::keypad7), QStringLiteral("Num+7"));
    EXPECT_EQ(text(Key::leftArrow, ModifierFlags::function), QStringLiteral("Fn+Left"));
    EXPECT_EQ(text(Key::space, ModifierFlags::command), QStringLiteral("Super+Space"));
    EXPECT_EQ(text(Key::leftArrow, ModifierFlags::command | ModifierFlags::control | ModifierFlags::shift),
              QStringLiteral("Super+Ctrl+Shift+Left"));

    // A special key never asks the layout, whatever it prints there
    keyboard.setKeyText(Key::tab.rawValue, QStringLiteral("x"));
    EXPECT_EQ(text(Key::tab), QStringLiteral("Tab"));
    // Another layout shows its own letter, capitalised
    keyboard.setKeyText(Key::s.rawValue, QStringLiteral("ы"));
    EXPECT_EQ(text(Key::s, ModifierFlags::option), QStringLiteral("Alt+Ы"));
    // A key that prints nothing, or more than one character, shows the replacement character
    keyboard.setKeyText(Key::s.rawValue, std::nullopt);
    EXPECT_EQ(text(Key::s, ModifierFlags::option), QStringLiteral("Alt+\uFFFD"));
    keyboard.setKeyText(Key::s.rawValue, QStringLiteral("ab"));
    EXPECT_EQ(text(Key::s), QStringLiteral("\uFFFD"));
    // A combining sequence is one character
    keyboard.setKeyText(Key::s.rawValue, QStringLiteral("e\u0301"));
    EXPECT_EQ(Shortcut::keyToCharacter(Key::s.rawValue, keyboard), QStringLiteral("e\u0301"));
    // Codes beyond 16 bits are not asked for at all
    keyboard.setKeyText(70000, QStringLiteral("q"));
    EXPECT_FALSE(Shortcut::keyToCharacter(70000, keyboard));
}

TEST(ShortcutTest, OnlyKeyPressesAndReleasesOfKnownKeysMakeShortcuts) {
    FakeKeyboard keyboard;
    keyboard.setNativeKey(39, Key::s.rawValue);
    const QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::AltModifier | Qt::KeypadModifier, 39, 0, 0);
    EXPECT_EQ(Shortcut::fromKeyEvent(press, keyboard),
              Shortcut(Key::s, ModifierFlags(ModifierFlags::option)));
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier, 39, 0, 0);
    EXPECT_EQ(Shortcut::fromKeyEvent(release, keyboard), Shortcut(Key::s));
    // Another event type, or a key the stored form cannot name, gives none
    const QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_S, Qt::NoModifier, 39, 0, 0);
    EXPECT_FALSE(Shortcut::fromKeyEvent(override, keyboard));
    const QKeyEvent unknown(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, 200, 0, 0);
    EXPECT_FALSE(Shortcut::fromKeyEvent(unknown, keyboard));
}

} // namespace
} // namespace corvane::testing
