#pragma once

#include "support/AppFixture.h"

#include "settings/BoundToggle.h"
#include "settings/SettingsActions.h"
#include "workspaces/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

namespace corvane::testing {

// Records what a page asked other features to do.
struct RecordedActions : SettingsActions {
    void applyLayout(LayoutPreset preset) override { layouts.push_back(preset); }
    void saveWindowsAsWorkspace() override { ++saves; }
    void updateWorkspaceFromWindows(const QUuid& id) override { updates.push_back(id); }
    void restoreWorkspace(const Workspace& workspace) override { restores.push_back(workspace); }
    std::vector<LayoutPreset> layouts;
    int saves = 0;
    std::vector<QUuid> updates;
    std::vector<Workspace> restores;
};

// A settings page on the fake platform: finds its bound controls by key.
class SettingsPageFixture : public AppFixture {
protected:
    SettingsPageFixture() { buildState(); }

    static void show(QWidget& page) {
        page.resize(720, 900);
        page.show();
    }
    static BoundToggle& toggle(QWidget& page, const char* key) {
        auto* found = page.findChild<BoundToggle*>(QString::fromLatin1(key));
        EXPECT_NE(found, nullptr) << key;
        return *found;
    }
    // The `index`-th child of type T inside the control bound to `key`.
    template <typename T> static T* control(QWidget& page, const char* key, int index = 0) {
        auto* bound = page.findChild<QWidget*>(QString::fromLatin1(key));
        EXPECT_NE(bound, nullptr) << key;
        const QList<T*> found = bound->findChildren<T*>();
        EXPECT_GT(found.size(), index) << key;
        return found.value(index);
    }
    // Writes the page's picture next to the test binary, for a person to look at.
    static void savePicture(QWidget& page, const QString& name) {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QDir().mkpath(folder);
        page.grab().save(folder + QStringLiteral("/offscreen-%1.png").arg(name));
    }
};

} // namespace corvane::testing
