#include "windows/ThumbnailService.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/Log.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"

#include <QSignalSpy>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace corvane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Collects the thumbnail log lines, debug ones included, while it lives.
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        category().setEnabled(QtDebugMsg, true);
        m_previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (QByteArray(context.category) == category().categoryName())
                    lines().push_back(text);
            });
    }
    ~LogCapture() {
        qInstallMessageHandler(m_previous);
        category().setEnabled(QtDebugMsg, false);
    }
    static std::vector<QString>& lines() {
        static std::vector<QString> collected;
        return collected;
    }

private:
    static QLoggingCategory& category() { return const_cast<QLoggingCategory&>(lcThumbnails()); }
    QtMessageHandler m_previous = nullptr;
};

class ThumbnailServiceTest : public ::testing::Test {
protected:
    ThumbnailServiceTest() : platform(scheduler) {
        settings = std::make_unique<Settings>(*platform.defaults, notifications);
        service = std::make_unique<ThumbnailService>(*settings, capture(), *platform.powerSource,
                                                     *platform.sleepWake, scheduler, background);
        service->canCapture = [] { return true; };
    }

    FakeWindowCapture& capture() { return *platform.fakeWindowCapture; }

    // A window the capture layer lists, 400 x 300 unless told otherwise.
    WindowInfo window(uint32_t id, bool active = false, QRectF frame = QRectF(0, 0, 400, 300)) {
        capture().addWindow(id, frame);
        WindowInfo info;
        info.windowID = id;
        info.frame = frame;
        info.isActive = active;
        return info;
    }

    // Completes every pending capture and answers the ids they were for, in order.
    std::vector<uint32_t> completeAll() {
        std::vector<uint32_t> ids = capture().pendingIDs();
        capture().succeedAll();
        return ids;
    }

    ManualScheduler scheduler;
    NotificationCenter notifications;
    ManualExecutor background;
    FakePlatform platform;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<ThumbnailService> service;
};

TEST_F(ThumbnailServiceTest, AtMostThreeCapturesRunAndWaitersStartInOrder) {
    // Given an active service
    service->setActive(true);

    // When five windows become visible at once
    service->setVisible({window(1), window(2), window(3), window(4), window(5)});

    // Then three captures run and two wait
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(1, 2, 3));
    EXPECT_EQ(service->runningCaptures(), 3);
    EXPECT_EQ(service->waitingCaptures(), 2);

    // When one of the first three ends, the fourth starts; the fifth waits behind it
    capture().succeed(2);
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(1, 3, 4));
    capture().fail(1);
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(3, 4, 5));
    EXPECT_EQ(service->waitingCaptures(), 0);

    // Then every capture releases its slot and its key
    capture().succeedAll();
    EXPECT_EQ(service->runningCaptures(), 0);
    EXPECT_EQ(service->capturesInFlight(), 0);
    EXPECT_TRUE(service->cachedImage(2).has_value());
    EXPECT_FALSE(service->cachedImage(1).has_value());
}

TEST_F(ThumbnailServiceTest, AFailedCaptureIsLoggedAndRetriedOnTheNextTick) {
    LogCapture log;
    // Given a visible window whose first capture fails
    service->setActive(true);
    service->setVisible({window(7)});
    const std::shared_ptr<ThumbnailBox> box = service->box(7);
    QSignalSpy changes(box.get(), &ThumbnailBox::imageChanged);
    capture().fail(7, QStringLiteral("window is gone"));

    // Then it is logged, the box stays empty, and nothing is retried before the next tick
    EXPECT_THAT(LogCapture::lines(), ElementsAre(QStringLiteral("Capture of 7 failed: window is gone")));
    EXPECT_FALSE(box->image());
    EXPECT_EQ(changes.count(), 0);
    scheduler.advance(Seconds(2.9));
    EXPECT_THAT(capture().pendingIDs(), IsEmpty());

    // When the refresh timer fires, the window is captured again and its box notified once
    scheduler.advance(Seconds(0.1));
    EXPECT_THAT(completeAll(), ElementsAre(7));
    EXPECT_TRUE(box->image());
    EXPECT_EQ(changes.count(), 1);

    // A listing that fails is logged as well
    capture().contentError = QStringLiteral("no listing");
    for (int tick = 0; tick < 4; ++tick) {
        scheduler.advance(Seconds(3));
        capture().succeedAll();
    }
    EXPECT_THAT(LogCapture::lines(),
                ::testing::Contains(QStringLiteral("ShareableContent failed: no listing")));
}

TEST_F(ThumbnailServiceTest, TheHoveredWindowIsRefreshedEveryHalfSecondAtHoverSize) {
    // Given an active service and a 400 x 300 window under the pointer
    service->setActive(true);
    const WindowInfo hovered = window(3);
    service->setHovered(hovered);

    // Then its hover capture is fitted into 960 x 720, enlarged at most twice
    ASSERT_EQ(capture().pending.size(), 1u);
    EXPECT_EQ(capture().pending.front().pixelSize, QSize(800, 600));
    capture().succeed(3);
    ASSERT_TRUE(service->hoverImage());
    EXPECT_EQ(service->hoverImage()->size(), QSize(800, 600));
    EXPECT_EQ(service->hoverImageID(), 3u);

    // When half a second passes twice while the second capture is still running
    scheduler.advance(Seconds(0.5));
    scheduler.advance(Seconds(0.5));

    // Then a new capture started once, and the running one was not queued again
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(3));
    capture().succeed(3);
    scheduler.advance(Seconds(0.5));
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(3));
}

TEST_F(ThumbnailServiceTest, AHoverPictureArrivingAfterThePointerMovedOnIsDropped) {
    // Given window A hovered and its hover capture running, and B with a small picture
    service->setActive(true);
    const WindowInfo a = window(1);
    const WindowInfo b = window(2);
    service->setVisible({b});
    capture().succeed(2);
    service->setHovered(a);

    // When the pointer moves to B before A's picture arrives
    service->setHovered(b);
    capture().succeed(1, Qt::red);

    // Then the preview shows B's small picture until B's own hover picture arrives
    EXPECT_EQ(service->hoverImageID(), 2u);
    EXPECT_EQ(service->hoverImage()->cacheKey(), service->cachedImage(2)->cacheKey());
    capture().succeed(2);
    EXPECT_EQ(service->hoverImage()->size(), QSize(800, 600));
}

TEST_F(ThumbnailServiceTest, AnInactiveServiceCapturesNothing) {
    // Given an inactive service
    // When windows become visible, ticks run, time passes and a window is hovered
    service->setVisible({window(1), window(2)});
    service->refreshTick();
    scheduler.advance(Seconds(30));
    service->setHovered(window(1));

    // Then nothing is captured, but hovering still names the window
    EXPECT_EQ(capture().captures, 0);
    EXPECT_EQ(service->hoverImageID(), 1u);

    // When the service is switched on with four windows and off again while one still waits
    service->setActive(true);
    service->setVisible({window(1), window(2), window(3), window(4)});
    EXPECT_EQ(service->waitingCaptures(), 1);
    service->setActive(false);
    capture().succeedAll();

    // Then the waiting capture ends without capturing, and no timer is left
    EXPECT_EQ(capture().captures, 3);
    EXPECT_EQ(service->capturesInFlight(), 0);
    EXPECT_FALSE(service->hasRefreshTimer());
    EXPECT_FALSE(service->hasHoverTimer());
    EXPECT_FALSE(service->hovered());
}

TEST_F(ThumbnailServiceTest, TheRefreshIntervalIsClampedToOneToSixHundredSeconds) {
    service->setActive(true);
    const auto timerFor = [&](double stored) {
        settings->setRefreshInterval(stored);
        service->restartRefreshTimer();
        return scheduler.repeatingTimers();
    };
    using Timer = std::pair<Seconds, Seconds>;
    // Interval and tolerance, a quarter of the interval
    EXPECT_THAT(timerFor(0.5), ElementsAre(Timer(Seconds(1), Seconds(0.25))));
    EXPECT_THAT(timerFor(10000), ElementsAre(Timer(Seconds(600), Seconds(150))));
    EXPECT_THAT(timerFor(std::numeric_limits<double>::quiet_NaN()),
                ElementsAre(Timer(Seconds(3), Seconds(0.75))));
    EXPECT_THAT(timerFor(std::numeric_limits<double>::infinity()),
                ElementsAre(Timer(Seconds(3), Seconds(0.75))));
}

TEST_F(ThumbnailServiceTest, OtherWindowsAreRefreshedFourTimesLessOftenAndTwiceAsSlowlyOnBattery) {
    // Given the active window A and another window B, both captured at the start
    const auto refreshTimes = [&](bool onBattery) {
        service = std::make_unique<ThumbnailService>(*settings, capture(), *platform.powerSource,
                                                     *platform.sleepWake, scheduler, background);
        service->canCapture = [] { return true; };
        platform.fakePowerSource->onBattery = onBattery;
        service->setActive(true);
        const Instant start = scheduler.now();
        service->setVisible({window(1, true), window(2, false)});
        completeAll();
        std::map<uint32_t, std::vector<double>> times;
        // When the default 3-second timer runs for 24 seconds
        for (int step = 0; step < 8; ++step) {
            scheduler.advance(Seconds(3));
            for (uint32_t id : completeAll())
                times[id].push_back(std::chrono::duration_cast<Seconds>(scheduler.now() - start).count());
        }
        service->setActive(false);
        return times;
    };

    // Then on mains A is due after 2.75 s and B after 11 s; on battery after 5.5 s and 22 s
    auto mains = refreshTimes(false);
    EXPECT_THAT(mains[1], ElementsAre(3, 6, 9, 12, 15, 18, 21, 24));
    EXPECT_THAT(mains[2], ElementsAre(12, 24));
    auto battery = refreshTimes(true);
    EXPECT_THAT(battery[1], ElementsAre(6, 12, 18, 24));
    EXPECT_THAT(battery[2], ElementsAre(24));

    platform.fakePowerSource->onBattery = false;
    platform.fakePowerSource->powerSaver = true;
    EXPECT_EQ(service->powerIntervalFactor(), 2.0);
}

TEST_F(ThumbnailServiceTest, AWindowWhoseContentDidNotChangeIsNotCapturedAgain) {
    // Given two captured windows whose content the capture layer follows, and a third it cannot
    service->setActive(true);
    capture().versions = {{1, 7}, {2, 3}};
    service->setVisible({window(1, true), window(2, true), window(3, true)});
    completeAll();

    // When their pictures come of age with nothing changed, then after window 2 changed
    scheduler.advance(Seconds(3));
    const std::vector<uint32_t> unchanged = completeAll();
    capture().versions[2] = 4;
    scheduler.advance(Seconds(3));
    const std::vector<uint32_t> afterAChange = completeAll();

    // Then only the one that cannot tell, and the changed one, are captured again
    EXPECT_THAT(unchanged, ElementsAre(3));
    EXPECT_THAT(afterAChange, ElementsAre(2, 3));
}

TEST_F(ThumbnailServiceTest, AFreshPictureIsRetakenOnlyForAFocusChangeOrAResizeOverTwoPoints) {
    // Given a captured window
    service->setActive(true);
    WindowInfo shown = window(1, false, QRectF(0, 0, 400, 300));
    service->setVisible({shown});
    completeAll();

    // When it grows by 2 points, then by 2.5, then becomes the active window
    shown.frame.setWidth(402);
    service->setVisible({shown});
    const std::vector<uint32_t> afterTwo = completeAll();
    shown.frame.setWidth(402.5);
    service->setVisible({shown});
    const std::vector<uint32_t> afterTwoAndAHalf = completeAll();
    shown.isActive = true;
    service->setVisible({shown});
    const std::vector<uint32_t> afterFocus = completeAll();

    // Then only the last two changes bring a new capture
    EXPECT_THAT(afterTwo, IsEmpty());
    EXPECT_THAT(afterTwoAndAHalf, ElementsAre(1));
    EXPECT_THAT(afterFocus, ElementsAre(1));
}

TEST_F(ThumbnailServiceTest, ANewSetOfWindowsPrunesBoxesAndReloadsTheListing) {
    // Given two captured windows
    service->setActive(true);
    const WindowInfo a = window(1);
    const WindowInfo b = window(2);
    service->setVisible({a, b});
    completeAll();
    const std::shared_ptr<ThumbnailBox> boxOfB = service->box(2);
    EXPECT_EQ(capture().listings, 1);

    // When the same windows come in another order, the listing stays
    service->setVisible({b, a});
    EXPECT_EQ(service->box(2), boxOfB);
    scheduler.advance(Seconds(0.1));

    // When B leaves, its box goes, and the next lookup reloads the listing
    service->setVisible({a});
    EXPECT_NE(service->box(2), boxOfB);
    EXPECT_FALSE(service->cachedImage(2));
    service->refreshTick(0.0);
    completeAll();
    EXPECT_EQ(capture().listings, 2);
}

TEST_F(ThumbnailServiceTest, OneListingServesLookupsThatArriveWhileItLoadsAndIsReusedForTenSeconds) {
    // Given a listing that takes a while
    capture().holdListings = true;
    service->setActive(true);

    // When two windows need it at once
    service->setVisible({window(1), window(2)});
    EXPECT_EQ(capture().listings, 1);
    capture().releaseListings();

    // Then the first captures at once and the second after its next 20 ms look
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(1));
    scheduler.advance(Seconds(0.02));
    EXPECT_THAT(capture().pendingIDs(), ElementsAre(1, 2));
    completeAll();

    // When the windows are captured again 9.9 s later, and again when the listing is over 10 s old
    capture().holdListings = false;
    scheduler.advance(Seconds(9.9));
    service->refreshTick(0.0);
    EXPECT_THAT(completeAll(), ElementsAre(1, 2));
    EXPECT_EQ(capture().listings, 1);
    scheduler.advance(Seconds(0.2));
    service->refreshTick(0.0);
    EXPECT_EQ(capture().listings, 2);
}

TEST_F(ThumbnailServiceTest, PicturesAreFittedIntoTheirBoxInWholePixels) {
    EXPECT_EQ(ThumbnailService::captureSize({1200, 800}, {153.6, 153.6}), QSize(153, 102));
    EXPECT_EQ(ThumbnailService::captureSize({400, 300}, {960, 720}), QSize(800, 600));
    EXPECT_EQ(ThumbnailService::captureSize({2, 1000}, {288, 288}), QSize(1, 288));

    // A window of one point or less on a side is never asked for
    service->setActive(true);
    service->setVisible({window(1, false, QRectF(0, 0, 1, 300))});
    EXPECT_EQ(capture().captures, 0);
}

TEST_F(ThumbnailServiceTest, AsleepTicksCaptureNothingAndWakingCatchesUp) {
    // Given a captured window and sleep observers
    service->installSleepObservers();
    service->setActive(true);
    const WindowInfo shown = window(1, true);
    service->setVisible({shown});
    completeAll();

    // When the machine sleeps, ticks capture nothing, but hovering still does
    platform.fakeSleepWake->emitWillSleep();
    scheduler.advance(Seconds(30));
    EXPECT_THAT(capture().pendingIDs(), IsEmpty());
    service->setHovered(shown);
    EXPECT_THAT(completeAll(), ElementsAre(1));
    service->clearHover();

    // When it wakes, every window at least half a second old is captured
    platform.fakeSleepWake->emitDidWake();
    EXPECT_THAT(completeAll(), ElementsAre(1));
}

TEST_F(ThumbnailServiceTest, TheScreenSaverPausesTicksUntilItGoesOff) {
    // Given a captured window and sleep observers
    service->installSleepObservers();
    service->setActive(true);
    const WindowInfo shown = window(1, true);
    service->setVisible({shown});
    completeAll();

    // When the screen saver comes on, ticks capture nothing, but hovering still does
    platform.fakeSleepWake->setScreenSaverActive(true);
    scheduler.advance(Seconds(30));
    EXPECT_THAT(capture().pendingIDs(), IsEmpty());
    service->setHovered(shown);
    EXPECT_THAT(completeAll(), ElementsAre(1));
    service->clearHover();

    // And the machine sleeping and waking meanwhile leaves the displays dark
    platform.fakeSleepWake->emitWillSleep();
    platform.fakeSleepWake->emitDidWake();
    scheduler.advance(Seconds(30));
    EXPECT_THAT(capture().pendingIDs(), IsEmpty());

    // When it goes off, the stale window is captured at once
    platform.fakeSleepWake->setScreenSaverActive(false);
    EXPECT_THAT(completeAll(), ElementsAre(1));
}

TEST_F(ThumbnailServiceTest, ABoxNotifiesOnlyForAnotherPicture) {
    ThumbnailBox box;
    QSignalSpy changes(&box, &ThumbnailBox::imageChanged);
    QImage picture(4, 4, QImage::Format_RGB32);
    box.setImage(std::nullopt);
    box.setImage(picture);
    box.setImage(picture);
    box.setImage(picture.copy());
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(ThumbnailServiceTest, ACaptureFinishingAfterTheServiceWentIsIgnored) {
    service->setActive(true);
    service->setVisible({window(1)});
    service.reset();
    EXPECT_TRUE(capture().succeed(1));
}

} // namespace
} // namespace corvane::testing
