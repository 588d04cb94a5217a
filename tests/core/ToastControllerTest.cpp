#include "core/ToastController.h"
#include "core/Colors.h"
#include "core/FloatingPanel.h"
#include "core/ManualAnimator.h"
#include "core/Settings.h"
#include "core/SymbolImage.h"
#include "platform/fake/FakeDefaultsFile.h"
#include "platform/fake/FakePanelWindowing.h"
#include "platform/fake/FakeScreens.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"

#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// A laptop panel on the left and a monitor to its right; the pointer is on the monitor.
ScreenInfo laptop() {
    return ScreenInfo{QStringLiteral("eDP-1"), QRectF(0, 0, 1920, 1080), QRectF(0, 32, 1920, 1048), 71u,
                      std::nullopt};
}
ScreenInfo monitor() {
    return ScreenInfo{QStringLiteral("HDMI-1"), QRectF(1920, 0, 1280, 1024), QRectF(1920, 24, 1280, 1000),
                      72u, std::nullopt};
}

class ToastControllerTest : public ::testing::Test {
protected:
    ToastControllerTest()
        : defaults(std::make_unique<FakeDefaultsFile>(), scheduler), settings(defaults, notifications),
          screens({laptop(), monitor()}), toast(screens, scheduler, settings, windowing, animator) {
        screens.setPointer(QPointF(2500, 500));
    }

    FloatingPanel& panel() { return *toast.panel(); }
    QString shownText() { return panel().findChild<QLabel*>(QStringLiteral("toastText"))->text(); }
    QImage shownSymbol() {
        return panel().findChild<QLabel*>(QStringLiteral("toastSymbol"))->pixmap().toImage();
    }
    // Whether a fade of the toast to `alpha` waits to be run.
    bool fadeRequested(double alpha) {
        for (const ManualAnimator::Fade& fade : animator.pending()) {
            if (fade.panel == toast.panel() && fade.alpha == alpha)
                return true;
        }
        return false;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    UserDefaults defaults;
    Settings settings;
    FakeScreens screens;
    FakePanelWindowing windowing;
    ManualAnimator animator;
    ToastController toast;
};

} // namespace

TEST_F(ToastControllerTest, ShowsTextAndBrandSymbolCentredAboveTheBottomOfTheScreenUnderThePointer) {
    toast.show(QStringLiteral("No windows to save"), QStringLiteral("exclamationmark.triangle.fill"));

    // The text and the symbol in the brand colour
    ASSERT_NE(toast.panel(), nullptr);
    EXPECT_EQ(shownText(), QStringLiteral("No windows to save"));
    EXPECT_EQ(shownSymbol(), symbolImage(QStringLiteral("exclamationmark.triangle.fill"), brandColor(),
                                         ToastController::symbolSize)
                                 .toImage());

    // On the monitor (visible 1920...3200 x 24...1024): centred on x = 2560, bottom edge 90 above
    // the visible bottom, so y = 1024 - 90 - height
    const QRect frame = panel().frame();
    EXPECT_GT(frame.width(), 0);
    EXPECT_GT(frame.height(), 0);
    EXPECT_EQ(frame.left(), std::lround(2560 - frame.width() / 2.0));
    EXPECT_EQ(frame.top(), 1024 - 90 - frame.height());

    // Shown from transparent, fading in, on every desktop, letting clicks through
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().shownOpacity(), 0.0);
    ASSERT_EQ(animator.pending().size(), 1u);
    EXPECT_EQ(animator.pending()[0].alpha, 1.0);
    EXPECT_EQ(animator.pending()[0].duration, ToastController::fadeInDuration);
    EXPECT_EQ(windowing.requestCount(panel().windowHandle()), 1);
    EXPECT_TRUE(panel().ignoresMouseEvents());
    EXPECT_EQ(panel().level(), PanelLevel::status);
}

TEST_F(ToastControllerTest, HidesOnItsOwnAfterTheVisibleDuration) {
    toast.show(QStringLiteral("Updated “Work”"), QStringLiteral("arrow.triangle.2.circlepath"));
    animator.completeAll();
    EXPECT_EQ(panel().shownOpacity(), 1.0);

    scheduler.advance(1.79s);
    EXPECT_FALSE(fadeRequested(0.0));

    // At 1.8 seconds it fades out over 0.3 seconds, and is ordered out once the fade ends
    scheduler.advance(0.01s);
    ASSERT_TRUE(fadeRequested(0.0));
    EXPECT_EQ(animator.pending().back().duration, ToastController::fadeOutDuration);
    EXPECT_TRUE(panel().isVisible());
    animator.completeAll();
    EXPECT_FALSE(panel().isVisible());
}

TEST_F(ToastControllerTest, ANewerToastReplacesTheTextAndRestartsTheWaitInTheSamePanel) {
    toast.show(QStringLiteral("Saved “Work”"), QStringLiteral("square.stack.3d.up.fill"));
    FloatingPanel* first = toast.panel();
    scheduler.advance(1s);

    toast.show(QStringLiteral("Added Files to “Work”"), QStringLiteral("plus.circle.fill"));
    animator.completeAll();

    EXPECT_EQ(toast.panel(), first);
    EXPECT_EQ(shownText(), QStringLiteral("Added Files to “Work”"));
    // The first toast's hide never comes
    scheduler.advance(0.8s);
    EXPECT_FALSE(fadeRequested(0.0));
    EXPECT_TRUE(panel().isVisible());
    // 1.8 seconds after the second one it does
    scheduler.advance(1s);
    EXPECT_TRUE(fadeRequested(0.0));
}

TEST_F(ToastControllerTest, AToastDuringTheFadeOutKeepsThePanelUp) {
    toast.show(QStringLiteral("Saved “Work”"), QStringLiteral("square.stack.3d.up.fill"));
    scheduler.advance(1.8s);
    ASSERT_TRUE(fadeRequested(0.0));

    // A new toast arrives before the fade out ends; then both fades end
    toast.show(QStringLiteral("No workspace on slot 3"), QStringLiteral("questionmark.circle.fill"));
    animator.completeAll();

    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().shownOpacity(), 1.0);
}

TEST_F(ToastControllerTest, UsesTheMainScreenOffScreenAndShowsNothingWithoutAnyScreen) {
    // The pointer is on no screen: the main screen, here the monitor, takes the toast
    screens.setMainScreen(1);
    screens.setPointer(QPointF(-500, -500));
    toast.show(QStringLiteral("Saved “Work”"), QStringLiteral("square.stack.3d.up.fill"));
    EXPECT_EQ(panel().frame().center().x(), 2560);
    const QRect frame = panel().frame();

    // With no screen at all a later toast shows nothing, and the earlier one hides on time
    screens.setScreens({});
    scheduler.advance(1s);
    toast.show(QStringLiteral("Updated “Work”"), QStringLiteral("arrow.triangle.2.circlepath"));
    EXPECT_EQ(panel().frame().topLeft(), frame.topLeft());
    scheduler.advance(0.8s);
    EXPECT_TRUE(fadeRequested(0.0));
}

TEST_F(ToastControllerTest, FirstToastWithoutAnyScreenIsNotShown) {
    screens.setScreens({});
    screens.setMainScreen(std::nullopt);
    toast.show(QStringLiteral("Saved “Work”"), QStringLiteral("square.stack.3d.up.fill"));
    EXPECT_FALSE(panel().isVisible());
    scheduler.advance(5s);
    EXPECT_TRUE(animator.pending().empty());
}

TEST_F(ToastControllerTest, TheMessageStaysOneLiteralLineAndTheCapsuleGrowsToFitIt) {
    toast.show(QStringLiteral("Saved “A”"), QStringLiteral("square.stack.3d.up.fill"));
    const QSize shortSize = panel().size();

    const QString longText = QStringLiteral("“Work” — missing ") + QStringLiteral("Terminal, ").repeated(20);
    toast.show(longText, QStringLiteral("exclamationmark.triangle.fill"));
    EXPECT_GT(panel().width(), shortSize.width() + 500);
    EXPECT_EQ(panel().height(), shortSize.height());

    // Names are the user's: markup is shown as typed, and a line break ends the line
    toast.show(QStringLiteral("Saved “<b>x</b>”"), QStringLiteral("square.stack.3d.up.fill"));
    const auto* label = panel().findChild<QLabel*>(QStringLiteral("toastText"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    toast.show(QStringLiteral("Saved “two\nlines”"), QStringLiteral("square.stack.3d.up.fill"));
    EXPECT_EQ(shownText(), QStringLiteral("Saved “two…"));
    EXPECT_EQ(panel().height(), shortSize.height());
}

TEST(SymbolImageTest, EachKnownSymbolHasItsOwnPictureInTheTintAndOthersAFilledCircle) {
    const QColor tint = brandColor();
    const QStringList names{"exclamationmark.triangle.fill", "square.stack.3d.up.fill",
                            "arrow.triangle.2.circlepath",   "plus.circle.fill",
                            "questionmark.circle.fill",      "checkmark.circle.fill"};
    const QImage fallback = symbolImage(QStringLiteral("no.such.symbol"), tint, 16).toImage();
    EXPECT_FALSE(isKnownSymbol(QStringLiteral("no.such.symbol")));

    QList<QImage> seen{fallback};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(isKnownSymbol(name));
        const QImage image = symbolImage(name, tint, 16).toImage();
        EXPECT_FALSE(seen.contains(image));
        seen.append(image);
        // Fully covered pixels carry the tint
        bool tinted = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() == 255)
                    tinted = tinted || pixel.rgb() == tint.rgb();
            }
        }
        EXPECT_TRUE(tinted);
    }
    // The fallback is a filled circle: solid in the middle, clear in the corners
    EXPECT_EQ(fallback.pixelColor(8, 8).rgba(), tint.rgba());
    EXPECT_EQ(fallback.pixelColor(0, 0).alpha(), 0);
}
