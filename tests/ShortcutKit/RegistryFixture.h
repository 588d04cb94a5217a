#pragma once

#include "ShortcutKit/HotKeyCenter.h"
#include "ShortcutKit/Registry.h"
#include "ShortcutKit/ShortcutNotifications.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeKeyboard.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corvane::testing {

using namespace corvane::ShortcutKit;

// The shortcut library over an in-memory store, fake hot keys and a US keyboard, on virtual time.
// Every change notification is recorded by the name it names.
class RegistryFixture : public ::testing::Test {
protected:
    RegistryFixture()
        : defaults(std::make_unique<FakeDefaultsFile>(), scheduler),
          registry(defaults, hotKeys, keyboard, notifications, scheduler) {
        observation = notifications.addObserver(shortcutByNameDidChange, [this](const Notification& note) {
            const auto name = shortcutName(note);
            posted.push_back(name ? name->rawValue : QStringLiteral("?"));
        });
    }

    static Shortcut shortcut(Key key, quint64 modifiers) { return Shortcut(key, ModifierFlags(modifiers)); }
    bool press(const Shortcut& s) { return hotKeys.tap(s.carbonKeyCode, s.carbonModifiers); }
    bool isTaken(const Shortcut& s) const { return hotKeys.isRegistered(s.carbonKeyCode, s.carbonModifiers); }

    static constexpr quint64 controlOption = ModifierFlags::control | ModifierFlags::option;
    static constexpr quint64 optionShift = ModifierFlags::option | ModifierFlags::shift;

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults;
    FakeHotKeys hotKeys;
    FakeKeyboard keyboard;
    Registry registry;
    ObserverToken observation;
    std::vector<QString> posted;
};

} // namespace corvane::testing
