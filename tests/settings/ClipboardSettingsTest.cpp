#include "settings/SettingsPageFixture.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/RecorderServices.h"
#include "ShortcutKit/Registry.h"
#include "clipboard/ClipboardHistory.h"
#include "settings/ClipboardSettings.h"

#include <QLabel>
#include <QPushButton>

namespace corvane::testing {
namespace {

class ClipboardSettingsTest : public SettingsPageFixture {
protected:
    ClipboardSettings page{
        *settings, state->clipboard(),
        ShortcutKit::RecorderServices::standard(state->shortcuts(), state->notifications(),
                                                *state->platform().host),
        [this]() -> std::optional<QString> { return clipboardShortcutText(state->shortcuts()); },
        [this] { ++opens; }};
    static ShortcutKit::Name clipboardName() { return AppShortcuts::clipboardHistory(); }
    int opens = 0;
};

TEST_F(ClipboardSettingsTest, RowsFollowTheSwitchesAndTheCountFollowsTheHistory) {
    show(page);
    QWidget& paste = toggle(page, "clipboardPasteDirectly");
    QLabel* note = nullptr;
    for (QLabel* label : page.findChildren<QLabel*>())
        if (label->text().startsWith("Saved privately in"))
            note = label;
    ASSERT_NE(note, nullptr);
    // With no shortcut stored the default is named
    EXPECT_TRUE(
        toggle(page, "clipboardEnabled").descriptionLabel()->text().startsWith("Press Alt+Shift+V for"));

    EXPECT_TRUE(paste.isVisibleTo(&page));
    EXPECT_FALSE(note->isVisibleTo(&page));
    settings->setClipboardRetentionDays(3);
    EXPECT_TRUE(note->isVisibleTo(&page));
    settings->setClipboardEnabled(false);
    EXPECT_FALSE(paste.isVisibleTo(&page));
    EXPECT_FALSE(note->isVisibleTo(&page));
    settings->setClipboardEnabled(true);

    EXPECT_EQ(page.countLabel().text(), "0 items right now");
    EXPECT_FALSE(page.clearButton().isEnabled());
    state->clipboard().setEnabled(true);
    platform->fakePasteboard->copyText("one");
    scheduler.advance(ClipboardHistory::pollInterval);
    EXPECT_EQ(page.countLabel().text(), "1 items right now");
    page.clearButton().click();
    EXPECT_TRUE(state->clipboard().items().empty());
    EXPECT_FALSE(page.clearButton().isEnabled());
}

TEST_F(ClipboardSettingsTest, TheDescriptionFollowsANewlyRecordedShortcut) {
    QLabel& description = *toggle(page, "clipboardEnabled").descriptionLabel();
    using ShortcutKit::Key;
    using ShortcutKit::ModifierFlags;
    state->shortcuts().setShortcut(ShortcutKit::Shortcut(Key::b, ModifierFlags(ModifierFlags::control)),
                                   clipboardName());
    EXPECT_TRUE(description.text().startsWith("Press Ctrl+B for")) << description.text().toStdString();
    state->shortcuts().setShortcut(std::nullopt, clipboardName());
    EXPECT_EQ(description.text().toStdString(),
              "Press Alt+Shift+V for a bar of everything you copied. Password managers are skipped.");
}

} // namespace
} // namespace corvane::testing
