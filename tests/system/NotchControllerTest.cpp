#include "support/AppFixture.h"
#include "support/MotionReference.h"

#include "core/FloatingPanel.h"
#include "core/NotchGeometry.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/FakeSoundOutput.h"
#include "system/AwakeController.h"
#include "system/AwakePillView.h"
#include "system/LevelStepping.h"
#include "system/NotchController.h"
#include "system/NotchHUDView.h"

#include <set>

namespace corvane::testing {
namespace {

// A 1920×1080 display at the origin with a 25-point top panel.
const ScreenInfo plainScreen{"DP-1", QRectF(0, 0, 1920, 1080), QRectF(0, 25, 1920, 1055), 1u, std::nullopt};

ScreenInfo notchedScreen(QRectF frame = QRectF(0, 0, 1512, 982)) {
    ScreenInfo screen{"eDP-1", frame, frame.adjusted(0, 32, 0, 0), 2u, std::nullopt};
    screen.safeAreaTop = 32;
    screen.auxiliaryTopLeft = QRectF(0, 0, 662, 32);
    screen.auxiliaryTopRight = QRectF(850, 0, 662, 32);
    return screen;
}

TEST(LevelStepping, KeysStepOnTheGridClampMuteAndKeepTheBrightnessFloor) {
    LevelSteps steps;
    steps.load(6, 6, 10);
    FakeSoundOutput sound;
    FakeBacklight backlight;
    auto press = [&](MediaKey key, bool fine = false) {
        return handleMediaKey(key, true, fine, steps, sound, backlight);
    };

    sound.level = 0.50f;
    EXPECT_NEAR(press(MediaKey::volumeUp).report->level, 0.54f, 1e-5);
    EXPECT_NEAR(press(MediaKey::volumeUp).report->level, 0.60f, 1e-5);
    EXPECT_NEAR(press(MediaKey::volumeDown).report->level, 0.54f, 1e-5);

    // Down to silence mutes; a muted raise starts from silence and unmutes.
    sound.level = 0.02f;
    const LevelReport silent = *press(MediaKey::volumeDown).report;
    EXPECT_EQ(silent, (LevelReport{NotchModel::Kind::volume, true, 0.0f}));
    sound.level = 0.40f;
    EXPECT_NEAR(press(MediaKey::volumeUp).report->level, 0.06f, 1e-5);
    EXPECT_FALSE(sound.muted);
    sound.muted = true;
    sound.level = 0.40f;
    EXPECT_NEAR(press(MediaKey::volumeDown).report->level, 0.36f, 1e-5);
    EXPECT_FALSE(sound.muted);

    // Mute toggles and reports the level it keeps.
    sound.level = 0.30f;
    EXPECT_EQ(*press(MediaKey::mute).report, (LevelReport{NotchModel::Kind::volume, true, 0.30f}));
    EXPECT_FALSE(press(MediaKey::mute).report->muted);

    // Brightness never goes under the floor nor over full; fine steps are a hundredth.
    backlight.level = 0.10f;
    EXPECT_NEAR(press(MediaKey::brightnessDown).report->level, 0.10f, 1e-5);
    backlight.level = 0.97f;
    EXPECT_NEAR(press(MediaKey::brightnessUp).report->level, 1.0f, 1e-5);
    sound.level = 0.543f;
    EXPECT_NEAR(press(MediaKey::volumeUp, true).report->level, 0.55f, 1e-5);

    // A release of a served key is swallowed and changes nothing.
    const float before = sound.level;
    const MediaKeyResult release = handleMediaKey(MediaKey::volumeUp, false, false, steps, sound, backlight);
    EXPECT_TRUE(release.handled);
    EXPECT_FALSE(release.report);
    EXPECT_EQ(sound.level, before);

    // Nothing to drive, or a write refused: the key goes on to others.
    backlight.available = false;
    EXPECT_FALSE(press(MediaKey::brightnessUp).handled);
    sound.settable = false;
    EXPECT_FALSE(press(MediaKey::volumeUp).handled);
}

TEST(LevelStepping, StoredStepsAreReadAsWrittenSaveThoseThatCannotStep) {
    LevelSteps steps;
    FakeSoundOutput sound;
    FakeBacklight backlight;
    auto press = [&](MediaKey key) { return handleMediaKey(key, true, false, steps, sound, backlight); };

    // Values the settings do not offer step as written: a quarter up, a floor at 80 %, and a step
    // of five times full scale goes to the end in one press
    steps.load(6, 25, 10);
    backlight.level = 0.5f;
    EXPECT_NEAR(press(MediaKey::brightnessUp).report->level, 0.75f, 1e-5);
    steps.load(6, 6, 80);
    backlight.level = 0.82f;
    EXPECT_NEAR(press(MediaKey::brightnessDown).report->level, 0.8f, 1e-5);
    steps.load(500, 6, 10);
    sound.level = 0.5f;
    EXPECT_NEAR(press(MediaKey::volumeUp).report->level, 1.0f, 1e-5);

    // A step of nothing or less is a hundredth, so no key divides by zero or turns around; a floor
    // below nothing is none
    steps.load(0, -6, -3);
    EXPECT_FLOAT_EQ(steps.volume.load(), 0.01f);
    EXPECT_FLOAT_EQ(steps.brightness.load(), 0.01f);
    EXPECT_FLOAT_EQ(steps.brightnessFloor.load(), 0.0f);
    sound.level = 0.5f;
    EXPECT_NEAR(press(MediaKey::volumeUp).report->level, 0.51f, 1e-5);
    backlight.level = 0.005f;
    EXPECT_EQ(press(MediaKey::brightnessDown).report->level, 0.0f);
}

TEST(NotchGeometry, NotchRectScreenAndTheFallbackBand) {
    EXPECT_EQ(notchRect(notchedScreen()), QRectF(662, 0, 188, 32));
    EXPECT_EQ(notchRect(notchedScreen(QRectF(-1920, 0, 1512, 982))), QRectF(-1920 + 662, 0, 188, 32));
    ScreenInfo noInset = notchedScreen();
    noInset.safeAreaTop = 0;
    EXPECT_FALSE(notchRect(noInset));
    EXPECT_EQ(notchScreen({plainScreen, notchedScreen()})->name, QStringLiteral("eDP-1"));
    EXPECT_FALSE(notchScreen({plainScreen}));

    EXPECT_EQ(fallbackBand(plainScreen), QRectF(920, 0, 80, 25));
    ScreenInfo hiddenPanel = plainScreen;
    hiddenPanel.visibleFrame = hiddenPanel.frame;
    EXPECT_EQ(fallbackBand(hiddenPanel), QRectF(920, 0, 80, 24));
}

TEST(NotchHUDView, SymbolLabelBarAndNumber) {
    using K = NotchModel::Kind;
    EXPECT_EQ(NotchHUDView::symbolName(K::volume, false, 0.125f), QStringLiteral("speaker.wave.1.fill"));
    EXPECT_DOUBLE_EQ(NotchHUDView::fillWidth(false, 0.125f), 6.5);
    EXPECT_EQ(NotchHUDView::numberText(false, 0.125f), QStringLiteral("13"));
    EXPECT_DOUBLE_EQ(NotchHUDView::fillWidth(false, 0.004f), 4.0);
    EXPECT_EQ(NotchHUDView::symbolName(K::volume, false, 0.001f), QStringLiteral("speaker.slash.fill"));
    EXPECT_DOUBLE_EQ(NotchHUDView::fillWidth(false, 0.0f), 0.0);
    EXPECT_EQ(NotchHUDView::label(K::volume, true), QStringLiteral("Muted"));
    EXPECT_EQ(NotchHUDView::numberText(true, 0.6f), QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(NotchHUDView::fillWidth(true, 0.6f), 0.0);
    EXPECT_EQ(NotchHUDView::symbolName(K::brightness, false, 0.5f), QStringLiteral("sun.max.fill"));
    EXPECT_EQ(NotchHUDView::symbolName(K::brightness, false, 0.49f), QStringLiteral("sun.min.fill"));
    EXPECT_EQ(NotchHUDView::label(K::brightness, false), QStringLiteral("Brightness"));
}

class NotchControllerTest : public AppFixture {
protected:
    NotchControllerTest() { buildState(); }

    NotchController& make() {
        controller = std::make_unique<NotchController>(NotchController::Services{
            .settings = *settings,
            .screens = *platform->screens,
            .scheduler = scheduler,
            .windowing = *platform->panelWindowing,
            .animator = animator,
            .sound = *platform->soundOutput,
            .backlight = *platform->backlight,
            .accessibilityTrusted = [] { return true; },
            .grabMediaKeys =
                [this](const std::vector<MediaKey>& keys, NotchController::KeyHandler handler) {
                    grabbed = keys;
                    keyHandler = std::move(handler);
                    return true;
                },
            .awakeActive = [this] { return awakeActive; },
            .awakeEndDate = [this] { return awakeEnd; },
        });
        return *controller;
    }
    bool hudShown() { return controller->hudPanel() && controller->hudPanel()->isVisible(); }

    std::unique_ptr<NotchController> controller;
    std::vector<MediaKey> grabbed;
    NotchController::KeyHandler keyHandler;
    bool awakeActive = false;
    std::optional<QDateTime> awakeEnd;
};

TEST_F(NotchControllerTest, TheHudFoldsAfterTheLastCallAndLeavesAFoldLater) {
    platform->fakeScreens->setScreens({plainScreen});
    platform->fakeScreens->setPointer(QPointF(500, 500));
    NotchController& notch = make();

    for (int i = 0; i < 3; ++i) {
        notch.showHUD(NotchModel::Kind::volume, false, 0.5f, Seconds(1.5));
        if (i < 2)
            scheduler.advance(Seconds(0.5));
    }
    EXPECT_EQ(notch.hudPanel()->geometry(), QRect(804, 0, 312, 25));
    scheduler.advance(Seconds(1.49));
    EXPECT_TRUE(notch.model().visible());
    scheduler.advance(Seconds(0.02));
    EXPECT_FALSE(notch.model().visible());
    EXPECT_TRUE(hudShown());

    // A call while folding unfolds it again and the pending order-out never happens.
    scheduler.advance(Seconds(0.2));
    notch.showHUD(NotchModel::Kind::brightness, false, 0.3f, Seconds(1.5));
    scheduler.advance(Seconds(0.3));
    EXPECT_TRUE(notch.model().visible());
    EXPECT_TRUE(hudShown());
    scheduler.advance(Seconds(1.2 + 0.36));
    EXPECT_FALSE(hudShown());
}

TEST_F(NotchControllerTest, TheBarUnfoldsOnItsSpringAndEasesToANewLevelAndKind) {
    platform->fakeScreens->setScreens({plainScreen});
    platform->fakeScreens->setPointer(QPointF(500, 500));
    NotchController& notch = make();
    notch.showHUD(NotchModel::Kind::volume, false, 0.5f, Seconds(1.5));
    auto* view = qobject_cast<NotchHUDView*>(notch.hudPanel()->contentView());
    ASSERT_NE(view, nullptr);
    // Folded behind the notch, centred from the very first frame
    EXPECT_EQ(notch.hudPanel()->mask().boundingRect(), QRect(116, 0, 80, 25));

    // Spring of response 0.32 s and damping 0.82: three points, and within 1 % by 0.35 s; the
    // window's outline follows, so it takes several widths on the way
    const double unfoldTime = NotchHUDView::unfoldMotion().duration().count();
    std::set<int> widths;
    for (double t : {0.04, 0.08, 0.16, 0.35}) {
        animator.advanceProperties(t / unfoldTime);
        EXPECT_NEAR(view->unfold(), spring(0.32, 0.82, t), 0.005) << t;
        widths.insert(notch.hudPanel()->mask().boundingRect().width());
    }
    EXPECT_NEAR(view->unfold(), 1.0, 0.01);
    EXPECT_GE(widths.size(), 3u);
    animator.completeAll();
    EXPECT_EQ(notch.hudPanel()->mask().boundingRect().width(), 312);

    // A new level eases out over 0.12 s, a new kind over 0.15 s
    notch.showHUD(NotchModel::Kind::volume, false, 0.9f, Seconds(1.5));
    for (double f : {0.25, 0.5, 0.75}) {
        animator.advanceProperties(f);
        EXPECT_NEAR(view->shownLevel(), 0.5 + 0.4 * easeOut(f), 0.002) << f;
        // "50" counts up to "90", and the speaker gains its third wave, with the level
        EXPECT_NEAR(view->numberChange(), easeOut(f), 0.002) << f;
        EXPECT_NEAR(view->symbolChange(), easeOut(f), 0.002) << f;
    }
    EXPECT_DOUBLE_EQ(animator.pendingProperties().back().motion.duration().count(), 0.12);
    animator.completeAll();
    notch.showHUD(NotchModel::Kind::brightness, false, 0.9f, Seconds(1.5));
    EXPECT_DOUBLE_EQ(animator.pendingProperties().back().motion.duration().count(), 0.15);
    for (double f : {0.25, 0.5, 0.75}) {
        animator.advanceProperties(f);
        EXPECT_NEAR(view->kindBlend(), easeOut(f), 0.002) << f;
        EXPECT_NEAR(view->symbolChange(), easeOut(f), 0.002) << f;
    }
    EXPECT_EQ(view->numberChange(), 1.0);
}

TEST(NotchHUDView, OnlyTheDigitsThatChangeCountUp) {
    // The number's frame, as the view lays out its right column: 26 wide, ending 0.45 h inside
    constexpr double notchWidth = 80, h = 32;
    NotchModel model;
    model.setLevel(0.5f);
    model.setVisible(true);
    ManualAnimator animator;
    NotchHUDView view(model, notchWidth, h, &animator);
    view.resize(int(notchWidth + 2 * NotchHUDView::columnWidth), int(h));
    const double numberRight = (view.width() + notchWidth) / 2 + NotchHUDView::columnWidth - 0.45 * h;
    // The rows with ink in a column of the number's frame.
    const auto inkRows = [&](const QImage& image, double left, double right) {
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            bool ink = false;
            for (int x = int(left); x < int(right) && !ink; ++x)
                ink = qGray(image.pixel(x, y)) > 40;
            rows += ink;
        }
        return rows;
    };

    // "50" to "59", halfway: the 5 stands still, the 0 rises out as the 9 rises in below it
    model.setLevel(0.59f);
    animator.advanceProperties(0.5);
    QImage image = view.grab().toImage();
    // Digits are about 7 points wide at this height.
    const int still = inkRows(image, numberRight - 26, numberRight - 8);
    const int rolling = inkRows(image, numberRight - 7, numberRight);
    EXPECT_GT(rolling, still + 4);
    animator.completeAll();
    image = view.grab().toImage();
    EXPECT_NEAR(inkRows(image, numberRight - 7, numberRight), still, 2);
}

TEST_F(NotchControllerTest, OnlyServableKeysAreTakenAndTheyFollowTheSoundServer) {
    platform->fakeBacklight->available = false;
    settings->setNotchHUD(true);
    NotchController& notch = make();
    notch.start();
    EXPECT_EQ(grabbed, (std::vector<MediaKey>{MediaKey::volumeUp, MediaKey::volumeDown, MediaKey::mute}));

    platform->fakeSoundOutput->setAvailable(false);
    EXPECT_TRUE(grabbed.empty());
    EXPECT_FALSE(notch.isTapInstalled());
    // With no brightness keys held meanwhile, the server's return still brings the volume keys back.
    platform->fakeSoundOutput->setAvailable(true);
    EXPECT_EQ(grabbed, (std::vector<MediaKey>{MediaKey::volumeUp, MediaKey::volumeDown, MediaKey::mute}));

    settings->setNotchHUD(false);
    notch.updateTap();
    platform->fakeSoundOutput->setAvailable(true);
    EXPECT_TRUE(grabbed.empty());
}

TEST_F(NotchControllerTest, APressedKeyStepsAndShowsTheHudOnTheMainThread) {
    platform->fakeScreens->setScreens({plainScreen});
    platform->fakeScreens->setPointer(QPointF(500, 500));
    settings->setNotchHUD(true);
    make().start();
    platform->fakeSoundOutput->level = 0.5f;
    ASSERT_TRUE(keyHandler);
    EXPECT_TRUE(keyHandler(MediaKey::volumeUp, true, false));
    QCoreApplication::processEvents();
    ASSERT_TRUE(controller->lastHUD());
    EXPECT_NEAR(controller->lastHUD()->level, 0.54f, 1e-5);
    EXPECT_EQ(controller->lastHUD()->duration, NotchController::keyDuration);
}

TEST_F(NotchControllerTest, ThePillDrainsItsRingOnANotchedScreenOnly) {
    platform->fakeScreens->setScreens({plainScreen, notchedScreen(QRectF(1920, 0, 1512, 982))});
    NotchController& notch = make();
    awakeActive = true;
    awakeEnd = scheduler.wallNow().addSecs(600);
    notch.refreshPanels();
    ASSERT_TRUE(notch.pillPanel());
    EXPECT_EQ(notch.pillPanel()->geometry(), QRect(1920 + 840, 0, 54, 32));
    EXPECT_DOUBLE_EQ(notch.model().awakeProgress(), 1.0);
    scheduler.advance(Seconds(300));
    EXPECT_NEAR(notch.model().awakeProgress(), 0.5, 0.01);

    // The setting off, or no notch, hides it.
    settings->setNotchAwakeIndicator(false);
    notch.refreshPanels();
    EXPECT_FALSE(notch.pillPanel()->isVisible());
    settings->setNotchAwakeIndicator(true);
    platform->fakeScreens->setScreens({plainScreen});
    notch.screenParametersChanged();
    EXPECT_FALSE(notch.pillPanel());
}

TEST_F(NotchControllerTest, ThePillFollowsKeepingAwakeAndItsSettingAsTheyChange) {
    platform->fakeScreens->setScreens({notchedScreen()});
    NotchController& notch = state->notch();
    notch.start();
    EXPECT_FALSE(notch.pillPanel());
    auto shown = [&] { return notch.pillPanel() && notch.pillPanel()->isVisible(); };

    state->awake().start(600.0);
    EXPECT_TRUE(shown());
    scheduler.advance(Seconds(150));
    EXPECT_NEAR(notch.model().awakeProgress(), 0.75, 0.01);
    settings->setNotchAwakeIndicator(false);
    EXPECT_FALSE(shown());
    // Switched on again, the ring starts full from the time left.
    settings->setNotchAwakeIndicator(true);
    EXPECT_TRUE(shown());
    EXPECT_DOUBLE_EQ(notch.model().awakeProgress(), 1.0);
    scheduler.advance(Seconds(225));
    EXPECT_NEAR(notch.model().awakeProgress(), 0.5, 0.01);
    // The end of the period takes the pill away; an open-ended one shows a full ring.
    scheduler.advance(Seconds(230));
    EXPECT_FALSE(state->awake().isActive());
    EXPECT_FALSE(shown());
    state->awake().start(std::nullopt);
    EXPECT_TRUE(shown());
    EXPECT_TRUE(notch.model().awakeIndefinite());
}

} // namespace
} // namespace corvane::testing
