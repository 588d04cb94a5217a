#include "clipboard/ClipboardView.h"
#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelModel.h"
#include "runtime/ManualExecutor.h"
#include "support/AppFixture.h"

#include <QBuffer>
#include <QDir>

#include <QEnterEvent>
#include <QTemporaryDir>

#include <cmath>
#include <numbers>

namespace corvane::testing {
namespace {

class ClipboardViewTest : public AppFixture {
protected:
    ClipboardViewTest() {
        settings = std::make_unique<Settings>(*platform->defaults, notifications);
        history =
            std::make_unique<ClipboardHistory>(*settings, scheduler, background, *platform->pasteboard,
                                               *platform->runningApplications, ClipboardStore(home.path()));
        history->setEnabled(true);
        for (int i = 0; i < 40; ++i) {
            platform->fakePasteboard->copyText(QStringLiteral("entry %1").arg(i));
            history->capture();
        }
        view = std::make_unique<ClipboardView>(
            *history, model, [this] { return accent; }, animator, ClipboardViewActions{});
        view->resize(1000, 206);
        view->show();
    }

    ClipCard* cardOf(const QString& text) const {
        for (ClipCard* card : view->cards())
            if (card->item().text == text)
                return card;
        return nullptr;
    }

    QTemporaryDir home;
    std::unique_ptr<ClipboardHistory> history;
    ClipboardPanelModel model;
    QColor accent = Qt::blue;
    std::unique_ptr<ClipboardView> view;
};

TEST_F(ClipboardViewTest, CardsAreMadeForWhatIsInViewAndASearchMovesThoseAlreadyMade) {
    // Forty entries, a row about four and a half cards wide: a handful of cards, newest first
    ASSERT_EQ(view->shownCount(), 40);
    EXPECT_LE(view->madeCardCount(), 6);
    EXPECT_EQ(static_cast<int>(view->cards().size()), view->madeCardCount());
    EXPECT_EQ(view->cards().front()->item().text, "entry 39");
    ClipCard* newest = cardOf("entry 39");

    // A search shows its matches in history order and keeps the cards it already had
    model.setSearchText("entry 3");
    EXPECT_EQ(view->shownCount(), 11);
    EXPECT_EQ(view->cards().front(), newest);
    EXPECT_EQ(view->cards()[1]->item().text, "entry 38");
    const int madeWhileSearching = view->madeCardCount();
    model.setSearchText("");
    EXPECT_EQ(view->madeCardCount(), madeWhileSearching);
    EXPECT_EQ(cardOf("entry 39"), newest);
    EXPECT_EQ(cardOf("entry 30"), nullptr) << "out of view again";

    // Scrolling to the end makes the cards there, not those passed over
    view->setRowScroll(1e6);
    EXPECT_EQ(view->cards().back()->item().text, "entry 0");
    EXPECT_LT(view->madeCardCount(), 20);
    EXPECT_EQ(cardOf("entry 39"), nullptr);

    // A deleted entry's card goes; a selection past the end selects nothing
    history->remove(history->items().back().id);
    EXPECT_EQ(view->cards().back()->item().text, "entry 1");
    model.setSelectedIndex(39);
    for (ClipCard* card : view->cards())
        EXPECT_FALSE(card->isSelected());
}

TEST_F(ClipboardViewTest, TheHoveredCardGrowsOnItsSpringAndTheRowEasesToTheSelection) {
    ClipCard* card = view->cards().front();
    QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
    QCoreApplication::sendEvent(card, &enter);
    ASSERT_EQ(animator.pendingProperties().size(), 1u);
    // A spring of response 0.22 s and damping 0.8 from 1 towards 1.03, started at rest
    const Seconds settle = animator.pendingProperties().front().motion.duration();
    const double omega = 2 * std::numbers::pi / 0.22, zeta = 0.8;
    const double ringing = omega * std::sqrt(1 - zeta * zeta);
    for (const double fraction : {0.05, 0.15, 0.3, 0.6}) {
        const double t = settle.count() * fraction;
        const double spring =
            1 - std::exp(-zeta * omega * t) *
                    (std::cos(ringing * t) + zeta * omega / ringing * std::sin(ringing * t));
        animator.advanceProperties(fraction);
        EXPECT_NEAR(card->hoverScale(), 1 + 0.03 * spring, 1e-4) << "at " << t << " s";
    }
    animator.completeAll();
    EXPECT_DOUBLE_EQ(card->hoverScale(), 1.03);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(card, &leave);
    animator.completeAll();
    EXPECT_DOUBLE_EQ(card->hoverScale(), 1.0);

    // The twenty-first card comes to the middle of the row on the standard ease-out over 0.15 s
    model.setSelectedIndex(20);
    ASSERT_EQ(animator.pendingProperties().size(), 1u);
    EXPECT_DOUBLE_EQ(animator.pendingProperties().front().motion.duration().count(), 0.15);
    const int target = view->scrollCentring(20);
    // The card's centre less half the row's width
    EXPECT_EQ(target, 16 + 20 * 222 + 105 - 1000 / 2);
    const std::pair<double, double> easeOut[] = {{0.25, 0.37814}, {0.5, 0.68464}, {0.75, 0.90654}};
    for (const auto& [fraction, progress] : easeOut) {
        animator.advanceProperties(fraction);
        EXPECT_NEAR(view->rowScroll(), target * progress, 1.0) << "at " << fraction;
    }
    animator.completeAll();
    EXPECT_EQ(view->rowScroll(), target);
    ClipCard* selected = cardOf("entry 19");
    ASSERT_NE(selected, nullptr);
    EXPECT_TRUE(selected->isSelected());
}

TEST_F(ClipboardViewTest, ACardKeptAsAPictureIsDrawnAfreshWhenItsLookChanges) {
    ClipCard* card = cardOf("entry 38");
    ASSERT_NE(card, nullptr);
    const auto drawn = [&] { return card->grab().toImage(); };
    const QImage plain = drawn();
    card->setSelected(true);
    const QImage selected = drawn();
    EXPECT_NE(selected, plain);
    card->setSelected(false);
    EXPECT_EQ(drawn(), plain);
    // Hovered, before it has begun to grow: its rim lights up.
    QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
    QCoreApplication::sendEvent(card, &enter);
    ASSERT_EQ(card->hoverScale(), 1.0);
    EXPECT_NE(drawn(), plain);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(card, &leave);
    animator.completeAll();
    EXPECT_EQ(drawn(), plain);
}

TEST_F(ClipboardViewTest, ACardTakesAnotherAccentAtTheStripsNextUpdateWithoutBeingMadeAgain) {
    model.setSelectedIndex(0);
    ClipCard* card = view->cards().front();
    ASSERT_TRUE(card->isSelected());
    const auto rim = [&] {
        return card->grab().toImage().pixelColor(ClipCard::cardRect().center().x(), ClipCard::growthRoom + 1);
    };
    EXPECT_EQ(rim(), QColor(Qt::blue));
    // Opened again with the same accent, no card is drawn again: each shows the picture it kept
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } count;
    QCoreApplication::processEvents();
    card->installEventFilter(&count);
    view->resetForShow();
    QCoreApplication::processEvents();
    EXPECT_EQ(count.paints, 0);
    accent = Qt::green;
    model.setQuery(QStringLiteral("entry"));
    EXPECT_EQ(view->cards().front(), card);
    EXPECT_EQ(rim(), QColor(Qt::green));
    // and one changed while the strip was away shows as it opens
    accent = Qt::red;
    view->resetForShow();
    EXPECT_EQ(rim(), QColor(Qt::red));
}

TEST_F(ClipboardViewTest, AFolderCopiedWithATrailingSlashIsDrawnByItsName) {
    const QString folder = home.path() + QStringLiteral("/Reports");
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto drawn = [&](const QString& path) {
        ClipCard card(ClipItem::makeFiles({QUrl::fromLocalFile(path)}), false, Qt::blue, std::nullopt,
                      QPixmap(), {}, animator);
        return card.grab().toImage();
    };
    EXPECT_EQ(drawn(folder + QLatin1Char('/')), drawn(folder));
}

TEST_F(ClipboardViewTest, APicturesPreviewIsDecodedElsewhereOnceAndKeptForTheNextOpening) {
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    platform->fakePasteboard->copy({{"image/png", png}});
    history->capture();

    ManualExecutor decoder(ManualExecutor::Mode::stepped);
    ClipPreviews previews(&decoder);
    auto opened = [&] {
        auto made = std::make_unique<ClipboardView>(
            *history, model, [this] { return accent; }, animator, ClipboardViewActions{}, &previews);
        made->resize(1000, 206);
        return made;
    };
    // The card shows at once, its picture once it is decoded away from the main thread
    auto first = opened();
    ClipCard* card = first->cards().front();
    ASSERT_EQ(card->item().kind, ClipItem::Kind::image);
    EXPECT_TRUE(card->preview().isNull());
    ASSERT_TRUE(decoder.runNextWork());
    decoder.deliverAll();
    ASSERT_FALSE(card->preview().isNull());
    EXPECT_EQ(card->preview().toImage().pixelColor(10, 10), QColor(Qt::red));
    // The next opening has it from the start, with nothing decoded again
    first.reset();
    auto second = opened();
    EXPECT_FALSE(second->cards().front()->preview().isNull());
    EXPECT_EQ(decoder.postedCount(), 1);
}

} // namespace
} // namespace corvane::testing
