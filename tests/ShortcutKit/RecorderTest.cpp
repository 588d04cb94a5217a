#include "RecorderFixture.h"

#include "ShortcutKit/Recorder.h"

#include <QLabel>

namespace corvane::testing {
namespace {

using RecorderTest = RecorderFixture;

TEST_F(RecorderTest, AnUnlabelledRecorderIsTheFieldAloneAndATitledOneARowWithTheTitle) {
    auto* bare = place(new Recorder(services(), withDefault));
    auto* titled = place(new Recorder(services(), QStringLiteral("Toggle &sidebar"), withDefault));
    auto* custom = place(new Recorder(services(), new QLabel(QStringLiteral("Own label")), withDefault));

    EXPECT_FALSE(bare->hasLabel());
    EXPECT_EQ(bare->findChildren<QLabel*>().size(), 0);
    ASSERT_TRUE(titled->hasLabel());
    // The title shows as given
    EXPECT_EQ(qobject_cast<QLabel*>(titled->label())->text(), QStringLiteral("Toggle &sidebar"));
    EXPECT_EQ(titled->control().parentWidget(), titled);
    EXPECT_EQ(qobject_cast<QLabel*>(custom->label())->text(), QStringLiteral("Own label"));
    EXPECT_EQ(custom->label()->parentWidget(), custom);
}

TEST_F(RecorderTest, ABindingIsWrittenBeforeTheCallbackAndOutsideChangesShowWithoutIt) {
    // Given a recorder over a value its owner keeps
    std::optional<Shortcut> value = optionShiftS;
    std::vector<std::optional<Shortcut>> seenInCallback;
    ShortcutBinding binding{[&] { return value; }, [&](const std::optional<Shortcut>& v) { value = v; }};
    auto* recorder = place(new Recorder(services(), binding, [&](const std::optional<Shortcut>& shortcut) {
        seenInCallback.push_back(value);
        changes.push_back(shortcut);
    }));
    showWindow();
    EXPECT_EQ(recorder->control().text(), QStringLiteral("Alt+Shift+S"));

    // When the user records, the binding is written and then the callback runs, once
    click(&recorder->control());
    type(&recorder->control(), Key::k, Qt::Key_K, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(value, optionShiftK);
    EXPECT_EQ(changes, std::vector<std::optional<Shortcut>>{optionShiftK});
    EXPECT_EQ(seenInCallback, std::vector<std::optional<Shortcut>>{optionShiftK});

    // When the owner changes the value, the field shows it on refresh without a callback
    value = std::nullopt;
    recorder->refresh();
    EXPECT_EQ(recorder->control().text(), QString());
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_TRUE(defaults.keys().empty());
}

TEST_F(RecorderTest, ReplacingTheNameShowsTheNewNamesShortcut) {
    registry.seed(withDefault);
    auto* recorder = place(new Recorder(services(), QStringLiteral("Shortcut"), withoutDefault));
    EXPECT_EQ(recorder->control().text(), QString());

    recorder->setShortcutSource(withDefault);

    EXPECT_EQ(recorder->control().text(), QStringLiteral("Alt+Shift+S"));
    EXPECT_EQ(recorder->control().shortcutName().rawValue, withDefault.rawValue);
    // Showing never writes
    EXPECT_TRUE(posted.empty());
}

} // namespace
} // namespace corvane::testing
