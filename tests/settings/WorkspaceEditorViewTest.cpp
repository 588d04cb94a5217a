#include "settings/SettingsPageFixture.h"

#include "ShortcutKit/ShortcutNotifications.h"
#include "settings/ColorSwatches.h"
#include "settings/FormSection.h"
#include "settings/FramePreview.h"
#include "settings/SettingsNavigation.h"
#include "settings/WorkspaceEditorView.h"
#include "settings/WorkspaceItemRow.h"
#include "settings/WorkspaceList.h"
#include "workspaces/WorkspaceManager.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <limits>

namespace corvane::testing {
namespace {

WorkspaceItem window(const QString& app, QRectF frame = QRectF(0, 0, 0.5, 1)) {
    WorkspaceItem item;
    item.id = QUuid::createUuid();
    item.bundleID = QStringLiteral("org.") + app.toLower();
    item.appName = app;
    item.relativeFrame = frame;
    return item;
}

Workspace workspace(const QString& name, std::optional<int> slot, std::vector<WorkspaceItem> items = {}) {
    return Workspace{QUuid::createUuid(), name,        QStringLiteral("#0A84FF"), slot,
                     std::move(items),    std::nullopt};
}

class WorkspaceEditorViewTest : public SettingsPageFixture {
protected:
    void open(std::vector<Workspace> saved) {
        manager().setWorkspaces(std::move(saved));
        page = std::make_unique<WorkspaceEditorView>(
            manager(), nav, actions, state->icons(),
            [this](int slot) -> std::optional<QString> { return modifier + QString::number(slot); });
        show(*page);
    }
    WorkspaceManager& manager() { return state->workspaces(); }
    Workspace stored(int index) { return manager().workspaces().at(static_cast<size_t>(index)); }
    WorkspaceDetail& form() {
        EXPECT_NE(page->detail(), nullptr);
        return *page->detail();
    }

    SettingsNavigation nav;
    RecordedActions actions;
    QString modifier = QStringLiteral("Alt+");
    std::unique_ptr<WorkspaceEditorView> page;
};

TEST_F(WorkspaceEditorViewTest, WithNoWorkspacesItInvitesASaveAndThenSelectsTheFirst) {
    open({});
    EXPECT_EQ(page->detail(), nullptr);
    EXPECT_EQ(page->emptyHeadline().text(), QStringLiteral("No workspaces yet"));
    EXPECT_FALSE(page->removeButton().isEnabled());
    EXPECT_FALSE(page->savesRefusedWarning().isVisible());
    page->saveButton().click();
    page->addButton().click();
    EXPECT_EQ(actions.saves, 2);

    page.reset();
    open({workspace("Mail", 1), workspace("Code", 2)});
    EXPECT_EQ(nav.selectedWorkspace(), stored(0).id);
    EXPECT_EQ(form().nameField().text(), QStringLiteral("Mail"));
    EXPECT_EQ(page->list().item(0)->data(WorkspaceList::shortcutRole).toString(), QStringLiteral("Alt+1"));

    // Selecting in the list selects in the window, and a chip's "Edit…" the other way round
    page->list().setCurrentRow(1);
    EXPECT_EQ(nav.selectedWorkspace(), stored(1).id);
    nav.setSelectedWorkspace(stored(0).id);
    EXPECT_EQ(form().nameField().text(), QStringLiteral("Mail"));
    EXPECT_EQ(page->list().currentRow(), 0);

    // Dragging Mail below Code reorders the store; the list follows with Mail still selected
    page->list().moveRow(0, 2);
    EXPECT_EQ(stored(0).name, QStringLiteral("Code"));
    EXPECT_EQ(page->list().item(0)->text(), QStringLiteral("Code"));
    EXPECT_EQ(page->list().currentRow(), 1);
    savePicture(*page, "workspaces");
}

TEST_F(WorkspaceEditorViewTest, EditsWriteThroughAndTheStoresRulesShowInTheForm) {
    open({workspace("Mail", 3), workspace("Code", std::nullopt)});
    nav.setSelectedWorkspace(stored(1).id);

    // A blank name is stored, and shown, as "Workspace"
    form().nameField().setText(QString());
    Q_EMIT form().nameField().textEdited(QString());
    EXPECT_EQ(stored(1).name, QStringLiteral("Workspace"));
    EXPECT_EQ(form().nameField().text(), QStringLiteral("Workspace"));
    EXPECT_EQ(page->list().item(1)->text(), QStringLiteral("Workspace"));

    // Taking slot 3 takes it from Mail; all nine slots are offered whatever others hold
    ASSERT_EQ(form().slotPicker().count(), 10);
    form().slotPicker().setCurrentIndex(3);
    EXPECT_EQ(stored(1).hotkeyIndex, 3);
    EXPECT_EQ(stored(0).hotkeyIndex, std::nullopt);
    EXPECT_TRUE(page->list().item(0)->data(WorkspaceList::shortcutRole).toString().isEmpty());

    form().swatches().choose(4);
    form().layoutPicker().setCurrentIndex(5);
    EXPECT_EQ(stored(1).colorHex, QStringLiteral("#BF5AF2"));
    EXPECT_EQ(stored(1).layout, LayoutPreset::grid);
    EXPECT_EQ(form().swatches().ringedIndex(), 4);

    // A change made elsewhere replaces the copy; a colour off the palette rings nothing
    Workspace elsewhere = stored(1);
    elsewhere.colorHex = QStringLiteral("#bf5af2");
    manager().update(elsewhere);
    EXPECT_EQ(form().copy(), stored(1));
    EXPECT_EQ(form().swatches().ringedIndex(), -1);
}

TEST_F(WorkspaceEditorViewTest, SavedWindowsMoveRemoveAndKeepNoEmptyTitle) {
    open({workspace("Mail", 1, {window("Mail"), window("Browser"), window("Terminal")})});
    std::vector<WorkspaceItemRow*> rows = form().itemRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(form().windowsSection().header(),
              QStringLiteral("Windows (3) \u2014 first one ends up focused"));
    EXPECT_FALSE(rows[0]->upButton().isEnabled());
    EXPECT_FALSE(rows[2]->downButton().isEnabled());

    rows[0]->downButton().click();
    EXPECT_EQ(stored(0).items[0].appName, QStringLiteral("Browser"));
    EXPECT_EQ(stored(0).items[1].appName, QStringLiteral("Mail"));

    rows = form().itemRows();
    QTest::keyClicks(&rows[0]->titleField(), "x");
    EXPECT_EQ(stored(0).items[0].titleContains, QStringLiteral("x"));
    QTest::keyClick(&rows[0]->titleField(), Qt::Key_Backspace);
    EXPECT_EQ(stored(0).items[0].titleContains, std::nullopt);

    form().itemRows()[2]->removeButton().click();
    form().itemRows()[1]->removeButton().click();
    ASSERT_EQ(form().itemRows().size(), 1u);
    EXPECT_FALSE(form().itemRows()[0]->upButton().isEnabled());
    EXPECT_FALSE(form().itemRows()[0]->downButton().isEnabled());
    EXPECT_EQ(stored(0).items.size(), 1u);
}

TEST_F(WorkspaceEditorViewTest, AProgramSavedByItsExecutableShowsTheThemesPictureOfThatName) {
    // Given an icon named after one executable, and programs without a desktop entry
    QTemporaryDir icons;
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(icons.filePath(QStringLiteral("corvane-sample-tool.png"))));
    const QStringList fallback = QIcon::fallbackSearchPaths();
    QIcon::setFallbackSearchPaths({icons.path()});
    const auto restore = qScopeGuard([&] { QIcon::setFallbackSearchPaths(fallback); });
    WorkspaceItem tool = window(QStringLiteral("Tool"));
    tool.appPath = QStringLiteral("/opt/tools/corvane-sample-tool");
    WorkspaceItem other = window(QStringLiteral("Other"));
    other.appPath = QStringLiteral("/opt/tools/corvane-no-such-picture");

    // Then the one the theme knows shows its picture, and the other none
    open({workspace("Tools", 1, {tool, other})});
    const auto hasPicture = [](const WorkspaceItemRow* row) {
        for (const QLabel* label : row->findChildren<QLabel*>())
            if (!label->pixmap().isNull())
                return true;
        return false;
    };
    ASSERT_EQ(form().itemRows().size(), 2u);
    EXPECT_TRUE(hasPicture(form().itemRows()[0]));
    EXPECT_FALSE(hasPicture(form().itemRows()[1]));
}

TEST_F(WorkspaceEditorViewTest, ActionsStartTheirWorkAndDeleteLeavesTheEmptyState) {
    open({workspace("Mail", 1, {window("Mail")})});
    form().restoreButton().click();
    form().updateButton().click();
    ASSERT_EQ(actions.restores.size(), 1u);
    EXPECT_EQ(actions.restores[0], stored(0));
    EXPECT_EQ(actions.updates, std::vector<QUuid>{stored(0).id});

    page->resize(420, 600);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form().actionsStacked());
    page->resize(900, 600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form().actionsStacked());

    const QUuid id = stored(0).id;
    form().deleteButton().click();
    EXPECT_TRUE(manager().workspaces().empty());
    EXPECT_EQ(nav.selectedWorkspace(), id);
    EXPECT_EQ(page->detail(), nullptr);
    EXPECT_EQ(page->emptyHeadline().text(), QStringLiteral("No workspaces yet"));
    EXPECT_TRUE(page->removeButton().isEnabled());
    page->removeButton().click();
    EXPECT_EQ(nav.selectedWorkspace(), std::nullopt);
}

// A workspaces file written by a newer program: the manager keeps it and saves nothing.
struct NewerFileStore : WorkspaceStore {
    NewerFileStore() : WorkspaceStore(QString()) {}
    LoadResult load() override {
        return {{}, WorkspaceStoreError{WorkspaceStoreError::Kind::unsupportedVersion, 9, {}}};
    }
};

TEST_F(WorkspaceEditorViewTest, AFileThatCouldNotBeReadIsSaidToBlockEverySave) {
    WorkspaceManager refusing(std::make_unique<NewerFileStore>(), scheduler);
    WorkspaceEditorView editor(refusing, nav, actions, state->icons(), {});
    show(editor);
    EXPECT_TRUE(editor.savesRefusedWarning().isVisible());
}

TEST_F(WorkspaceEditorViewTest, SwatchesSitFiveApartUnderTheirRingsAndAWindowPastItsScreenIsDrawnWhole) {
    // A saved window that lay half a screen left of its screen, 24 points past the preview's box
    open({workspace("Mail", 1, {window("Mail", QRectF(-0.5, 0.25, 0.4, 0.5))})});

    // Nine 16-point swatches 5 apart, with room for the ring at the ends only; a click on the
    // last one's middle chooses it
    ColorSwatches& swatches = form().swatches();
    EXPECT_EQ(swatches.sizeHint(), QSize(9 * 16 + 8 * 5 + 2 * 3, 22));
    QTest::mouseClick(&swatches, Qt::LeftButton, {}, QPoint(3 + 8 * 21 + 8, 11));
    EXPECT_EQ(swatches.ringedIndex(), 8);

    // The preview takes the screen's 48 by 30 points; the window is drawn 14 points left of it,
    // in the brand's red
    WorkspaceItemRow& row = *form().itemRows().front();
    auto* preview = row.findChild<FramePreview*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->size(), QSize(48, 30));
    const QImage picture = row.grab().toImage();
    const QRgb outside = picture.pixel(preview->geometry().topLeft() + QPoint(-14, 15));
    EXPECT_GT(qRed(outside) - qGreen(outside), 100);
    savePicture(*page, QStringLiteral("workspaces-frame-outside"));
}

TEST(FramePreviewRules, TinyWindowsStayVisibleAndUnreadableOnesAreNotDrawn) {
    EXPECT_EQ(FramePreview::windowRect(QRectF(0.5, 0.5, 0.01, 0.01)), QRectF(24, 15, 3, 3));
    EXPECT_EQ(FramePreview::windowRect(QRectF(0.75, 0, 0.5, 1)), QRectF(36, 0, 24, 30));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(FramePreview::windowRect(QRectF(nan, 0, 1, 1)), std::nullopt);
    EXPECT_EQ(FramePreview::windowRect(QRectF(0, 0, 1e300, 1)), std::nullopt);
    EXPECT_EQ(FramePreview::windowRect(QRectF(0, 0, 1, std::numeric_limits<double>::infinity())),
              std::nullopt);
}

TEST_F(WorkspaceEditorViewTest, ShortcutLabelsFollowARestoreShortcutRecordedAgain) {
    open({workspace(QStringLiteral("Mail"), 2)});
    page->followShortcuts(state->notifications());
    EXPECT_EQ(page->list().item(0)->data(WorkspaceList::shortcutRole).toString(), QStringLiteral("Alt+2"));

    // The restore shortcuts are recorded again elsewhere
    modifier = QStringLiteral("Ctrl+");
    state->notifications().post(ShortcutKit::shortcutByNameDidChange, {},
                                {{QStringLiteral("name"), QStringLiteral("restoreWorkspace2")}});

    EXPECT_EQ(page->list().item(0)->data(WorkspaceList::shortcutRole).toString(), QStringLiteral("Ctrl+2"));
    EXPECT_TRUE(form().slotPicker().itemText(2).contains(QStringLiteral("Ctrl+2")));
    EXPECT_EQ(form().slotPicker().currentIndex(), 2);
}

} // namespace
} // namespace corvane::testing
