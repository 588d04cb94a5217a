#pragma once

#include "RegistryFixture.h"

#include "ShortcutKit/RecorderAlerts.h"
#include "ShortcutKit/RecorderControl.h"
#include "ShortcutKit/RecorderServices.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "platform/fake/FakeApplicationHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QTest>
#include <QWidget>

#include <map>
#include <set>

namespace corvane::testing {

// Alerts that answer at once with the button the test chose, and remember what they said.
class FakeRecorderAlerts final : public RecorderAlerts {
public:
    struct Alert {
        QString message;
        std::optional<QString> informativeText;
        QStringList buttons;
    };

    int showAlert(QWidget*, const QString& message, const std::optional<QString>& informativeText,
                  const QStringList& buttons) override {
        shown.push_back({message, informativeText, buttons});
        if (onShow)
            onShow();
        return answer;
    }

    std::vector<Alert> shown;
    int answer = firstButton;
    std::function<void()> onShow;
};

// Collisions the test declares.
class FakeShortcutConflicts final : public ShortcutConflicts {
public:
    std::optional<QString> menuItemUsing(const Shortcut& shortcut) const override {
        const auto found = menuItems.find(shortcut);
        return found == menuItems.end() ? std::nullopt : std::optional<QString>(found->second);
    }
    bool isTakenBySystem(const Shortcut& shortcut) const override { return system.count(shortcut) > 0; }
    bool isDisallowed(const Shortcut& shortcut) const override { return disallowed.count(shortcut) > 0; }

    std::map<Shortcut, QString> menuItems;
    std::set<Shortcut> system;
    std::set<Shortcut> disallowed;
};

// Recorders in a shown, active window over the fake shortcut library. Keys are typed with QTest;
// the fake keyboard tells which stored key code each one is.
class RecorderFixture : public RegistryFixture {
protected:
    RecorderFixture() {
        new QHBoxLayout(&window);
        activeObservation =
            notifications.addObserver(recorderActiveStatusDidChange, [this](const Notification& note) {
                activeStatuses.push_back(recorderIsActive(note));
            });
    }

    RecorderServices services() { return {registry, notifications, host, alerts, conflicts}; }

    template <typename Widget> Widget* place(Widget* widget) {
        window.layout()->addWidget(widget);
        return widget;
    }
    RecorderControl* addControl(const Name& name) {
        return place(new RecorderControl(services(), name, onChange()));
    }

    void showWindow() {
        window.show();
        window.activateWindow();
        QCoreApplication::processEvents();
    }

    // Records every call of a change callback.
    RecorderControl::OnChange onChange() {
        return [this](const std::optional<Shortcut>& shortcut) { changes.push_back(shortcut); };
    }

    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // Types the key (Qt's key for it) with the modifiers into the focused widget.
    void type(QWidget* widget, Key key, Qt::Key qtKey, Qt::KeyboardModifiers modifiers = {}) {
        // QTest sends no native key code: every key it types is the key under code 0.
        keyboard.setNativeKey(0, key.rawValue);
        QTest::keyClick(widget, qtKey, modifiers);
    }

    std::optional<Json> stored(const Name& name) const { return defaults.object(name.defaultsKey()); }

    FakeApplicationHost host;
    FakeRecorderAlerts alerts;
    FakeShortcutConflicts conflicts;
    QWidget window;
    std::vector<std::optional<Shortcut>> changes;
    std::vector<bool> activeStatuses;
    ObserverToken activeObservation;

    const Shortcut optionShiftK = shortcut(Key::k, optionShift);
    const Shortcut optionShiftS = shortcut(Key::s, optionShift);
    const Name withDefault{QStringLiteral("toggleSidebar"), optionShiftS};
    const Name withoutDefault{QStringLiteral("custom")};
};

} // namespace corvane::testing
