#include "settings/SettingsPageFixture.h"

#include "settings/ExcludedApps.h"
#include "settings/ExcludedAppsSettings.h"

#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace corvane::testing {
namespace {

RunningApplication app(int32_t pid, const QString& name, std::optional<QString> id, bool regular = true) {
    return RunningApplication{pid, std::move(id), name, regular, false};
}

TEST(ExcludedAppsRules, TheMenuOffersOtherRegularProgramsNotYetExcludedSortedByName) {
    const std::vector<RunningApplication> running{app(1, "zed", "org.zed"),
                                                  app(2, "Zed", "org.Zed"),
                                                  app(3, "Panel", "org.panel", false),
                                                  app(4, "Nameless", std::nullopt),
                                                  app(4242, "Corvane", "corvane"),
                                                  app(6, "Other Corvane", "corvane"),
                                                  app(7, "Editor", "org.editor"),
                                                  app(8, "Editor", "org.editor"),
                                                  app(9, "Hidden away", "org.excluded")};
    const auto offered = addableApplications(running, {"org.excluded"}, 4242);
    std::vector<int32_t> pids;
    for (const RunningApplication& each : offered)
        pids.push_back(each.pid);
    // Capitals first; two processes of one program both offered, in the order given
    EXPECT_EQ(pids, (std::vector<int32_t>{7, 8, 2, 1}));
    EXPECT_TRUE(
        addableApplications(running, {"org.zed", "org.Zed", "org.editor", "org.excluded"}, 4242).empty());
}

class ExcludedAppsSettingsTest : public SettingsPageFixture {
protected:
    ExcludedAppsSettingsTest() {
        settings->setExcludedBundleIDs({"org.files", "org.gone"});
        platform->fakeApplications->namesByBundleID["org.files"] = "Files.app";
        platform->fakeRunningApplications->add(20, "Terminal", QStringLiteral("org.terminal"));
        page = std::make_unique<ExcludedAppsSettings>(*settings, state->icons(), *platform->fakeApplications,
                                                      *platform->runningApplications, ownPID);
    }
    QStringList rows() const {
        QStringList ids;
        for (int i = 0; i < page->list().count(); ++i)
            ids << page->list().item(i)->data(Qt::UserRole).toString();
        return ids;
    }
    QStringList menuTitles() {
        QStringList titles;
        for (QAction* action : page->addMenu().actions())
            titles << action->text();
        return titles;
    }
    std::unique_ptr<ExcludedAppsSettings> page;
};

TEST_F(ExcludedAppsSettingsTest, AddingAndRemovingMovesAProgramBetweenTheMenuAndTheList) {
    EXPECT_EQ(rows(), (QStringList{"org.files", "org.gone"}));
    EXPECT_EQ(excludedAppName(*platform->fakeApplications, "org.files"), QStringLiteral("Files"));
    EXPECT_EQ(excludedAppName(*platform->fakeApplications, "org.gone"), QStringLiteral("org.gone"));
    ASSERT_EQ(menuTitles(), QStringList{"Terminal"});

    page->addMenu().actions().front()->trigger();
    EXPECT_EQ(settings->excludedBundleIDs(), (QStringList{"org.files", "org.gone", "org.terminal"}));
    EXPECT_EQ(rows().last(), QStringLiteral("org.terminal"));
    EXPECT_TRUE(menuTitles().isEmpty());

    settings->setExcludedBundleIDs({"org.terminal", "org.files", "org.terminal"});
    page->removeButton(0)->click();
    EXPECT_EQ(settings->excludedBundleIDs(), QStringList{"org.files"});
    EXPECT_EQ(menuTitles(), QStringList{"Terminal"});
    show(*page);
    savePicture(*page, "excluded");

    page->restoreButton().click();
    EXPECT_EQ(settings->excludedBundleIDs(), Settings::defaultExcludedBundleIDs());
}

} // namespace
} // namespace corvane::testing
