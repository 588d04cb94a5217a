#include "windows/AXWindowService.h"
#include "platform/fake/FakeAccessibility.h"
#include "runtime/ManualExecutor.h"
#include "runtime/ManualScheduler.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvane;

namespace {

constexpr int32_t ownPID = 4242;

FakeAXWindow window(uint32_t number, QRectF frame = {0, 0, 100, 100}, QString title = QStringLiteral("Doc")) {
    FakeAXWindow made;
    made.number = number;
    made.frame = frame;
    made.title = std::move(title);
    return made;
}

QCoro::Task<> store(QCoro::Task<bool> task, std::optional<bool>& out) {
    out = co_await std::move(task);
}

// The queue runs inline, so the task has finished when this returns.
std::optional<bool> resultOf(QCoro::Task<bool> task) {
    std::optional<bool> out;
    store(std::move(task), out);
    return out;
}

std::vector<uint32_t> numbers(const std::vector<AXWindowSnapshot>& windows) {
    std::vector<uint32_t> result;
    for (const AXWindowSnapshot& each : windows)
        result.push_back(each.windowID);
    return result;
}

class AXWindowServiceTest : public ::testing::Test {
protected:
    ManualScheduler clock;
    ManualExecutor queue;
    FakeAccessibility fake;
    AXWindowService service{fake, queue, clock, ownPID};
};

TEST_F(AXWindowServiceTest, SweepReadsProgramsInOrderAndLeavesOutWhatCannotBeRead) {
    // Given a program with usable and unusable windows, programs that answer without a list,
    // one that does not answer and one that does not exist
    fake.addProgram(7);
    FakeAXWindow plain = window(1, {10, 20, 300, 200}, QStringLiteral("Report"));
    plain.minimized = true;
    fake.addWindow(7, plain);
    fake.addWindow(7, window(2)); // numbered 0 below
    fake.window(7, 2)->number = 0;
    FakeAXWindow unnumbered = window(3);
    unnumbered.numberReadable = false;
    fake.addWindow(7, unnumbered);
    FakeAXWindow sizeless = window(4);
    sizeless.attributeStatus[FakeAXAttribute::size] = AXStatus::wrongKind;
    fake.addWindow(7, sizeless);
    FakeAXWindow bare = window(5, {0, 0, 50, 60});
    bare.subrole.reset();
    bare.attributeStatus[FakeAXAttribute::title] = AXStatus::noValue;
    bare.attributeStatus[FakeAXAttribute::minimized] = AXStatus::wrongKind;
    fake.addWindow(7, bare);
    fake.addProgram(8).windowsStatus = AXStatus::noValue;
    fake.addProgram(9, {window(90)}).windowsStatus = AXStatus::failed;
    fake.addProgram(10).windowsStatus = AXStatus::wrongKind;

    // When sweeping them
    const AXSweepResult result = service.sweep({8, 7, 9, 10, 11});

    // Then the programs that answered are readable and only whole windows come back
    EXPECT_EQ(result.readablePIDs, (std::set<int32_t>{7, 8, 10}));
    ASSERT_EQ(numbers(result.windows), (std::vector<uint32_t>{1, 5}));
    EXPECT_EQ(result.windows[0], (AXWindowSnapshot{1, 7, QStringLiteral("Report"), QRectF(10, 20, 300, 200),
                                                   true, axStandardWindowSubrole}));
    EXPECT_EQ(result.windows[1],
              (AXWindowSnapshot{5, 7, QString(), QRectF(0, 0, 50, 60), false, std::nullopt}));
    // and the snapshot list of one program follows the same rules
    EXPECT_EQ(service.windowSnapshots(7), result.windows);
    EXPECT_TRUE(service.windowSnapshots(9).empty());
    EXPECT_TRUE(service.windowSnapshots(8).empty());

    // An empty list of programs reads nothing
    const AXSweepResult none = service.sweep({});
    EXPECT_TRUE(none.readablePIDs.empty());
    EXPECT_TRUE(none.windows.empty());
    EXPECT_EQ(fake.messagingTimeout(), Seconds(0.5));
}

TEST_F(AXWindowServiceTest, SlowProgramIsLeftOutOfSweepsForTwentySecondsThenReadAgain) {
    // Given a program whose window list takes half a second, one that fails slowly, and a fast one
    fake.addProgram(7, {window(1)});
    fake.addProgram(8).windowsStatus = AXStatus::failed;
    fake.addProgram(9, {window(3)});
    fake.onWindowsRead = [this](int32_t pid) {
        if (pid != 9)
            clock.advance(Seconds(0.5));
    };

    // When it is swept once, it is still read in that sweep
    AXSweepResult first = service.sweep({7, 8, 9});
    EXPECT_EQ(first.readablePIDs, (std::set<int32_t>{7, 9}));
    EXPECT_EQ(numbers(first.windows), (std::vector<uint32_t>{1, 3}));

    // Then for the next twenty seconds neither slow program is asked at all, even once it got fast
    fake.onWindowsRead = nullptr;
    clock.advance(Seconds(19)); // 0.5 s before the first back-off ends (both reads took 1 s)
    AXSweepResult skipped = service.sweep({7, 8, 9});
    EXPECT_EQ(skipped.readablePIDs, (std::set<int32_t>{9}));
    EXPECT_EQ(numbers(skipped.windows), (std::vector<uint32_t>{3}));
    EXPECT_EQ(fake.windowListReads(7), 1);
    EXPECT_EQ(fake.windowListReads(8), 1);
    // other reads do not consult the back-off
    EXPECT_EQ(service.windowSnapshots(7).size(), 1u);

    // And once the date is reached it is read again
    clock.advance(Seconds(0.5));
    AXSweepResult again = service.sweep({7, 9});
    EXPECT_EQ(again.readablePIDs, (std::set<int32_t>{7, 9}));
}

TEST_F(AXWindowServiceTest, ReadTakingExactlyTheThresholdSetsNoBackOff) {
    // Given a program that takes exactly 0.45 s to answer
    fake.addProgram(7, {window(1)});
    fake.onWindowsRead = [this](int32_t) { clock.advance(Seconds(0.45)); };

    // When it is swept twice in a row, it is read both times
    service.sweep({7});
    const AXSweepResult second = service.sweep({7});
    EXPECT_EQ(second.readablePIDs, (std::set<int32_t>{7}));
    EXPECT_EQ(fake.windowListReads(7), 2);
}

TEST_F(AXWindowServiceTest, FocusedWindowFallsBackToMainAndKeepsAWindowWithoutNumber) {
    // Given a program with no focused window but a main window whose number cannot be read
    FakeAXProgram& program = fake.addProgram(7, {window(1, {1, 2, 3, 4}), window(2, {5, 6, 7, 8})});
    program.mainWindow = 2;
    fake.window(7, 2)->numberReadable = false;

    // Then the main window is reported, with no number
    std::optional<AXFocusedWindow> found = service.focusedWindow(7);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->pid, 7);
    EXPECT_FALSE(found->windowID);
    EXPECT_EQ(found->frame, QRectF(5, 6, 7, 8));

    // When a window is focused it wins over the main one
    fake.program(7)->focusedWindow = 1;
    found = service.focusedWindow(7);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->windowID, 1u);
    EXPECT_EQ(found->frame, QRectF(1, 2, 3, 4));

    // A focused window without a readable frame gives nothing; so does a program with neither
    fake.window(7, 1)->attributeStatus[FakeAXAttribute::position] = AXStatus::failed;
    EXPECT_FALSE(service.focusedWindow(7));
    fake.program(7)->focusedWindow.reset();
    fake.program(7)->mainWindow.reset();
    EXPECT_FALSE(service.focusedWindow(7));
}

TEST_F(AXWindowServiceTest, SetFrameFindsTheWindowByNumberOrFocusWithoutFallingBack) {
    // Given a program with a focused window and a main window
    FakeAXProgram& program = fake.addProgram(7, {window(1), window(2)});
    program.focusedWindow = 1;
    program.mainWindow = 2;
    const QRectF frame(10, 20, 300, 200);

    // A number the program no longer has: false, and the focused window is not touched
    EXPECT_FALSE(service.setFrameSync(7, 99, frame));
    EXPECT_TRUE(fake.writes().empty());

    // No number: the focused window moves, else the main one, else nothing
    EXPECT_TRUE(service.setFrameSync(7, std::nullopt, frame));
    EXPECT_EQ(fake.window(7, 1)->frame, frame);
    fake.program(7)->focusedWindow.reset();
    EXPECT_TRUE(service.setFrameSync(7, std::nullopt, QRectF(1, 1, 50, 50)));
    EXPECT_EQ(fake.window(7, 2)->frame, QRectF(1, 1, 50, 50));
    fake.program(7)->mainWindow.reset();
    EXPECT_FALSE(service.setFrameSync(7, std::nullopt, frame));
}

TEST_F(AXWindowServiceTest, SetFrameRestoresAMinimisedWindowAndWritesSizePositionSize) {
    // Given a minimised window of a program with the enhanced interface switched on
    FakeAXWindow minimised = window(1);
    minimised.minimized = true;
    fake.addProgram(7, {minimised}).enhancedUserInterface = AXRead<bool>::success(true);

    // When its frame is set
    EXPECT_TRUE(service.setFrameSync(7, 1, QRectF(10, 20, 300, 200)));

    // Then it is restored first, and the interface is off exactly around the three frame writes
    EXPECT_EQ(fake.writes(), (std::vector<QString>{"minimized 1 false", "enhanced 7 false", "size 1 300x200",
                                                   "position 1 10,20", "size 1 300x200", "enhanced 7 true"}));
    EXPECT_FALSE(fake.window(7, 1)->minimized);
}

TEST_F(AXWindowServiceTest, EnhancedInterfaceIsSwitchedBackOnEvenWhenTheProgramRefuses) {
    // Given a program with the interface on that refuses every position
    fake.addProgram(7, {window(1)}).enhancedUserInterface = AXRead<bool>::success(true);
    fake.window(7, 1)->refusePositionWrites = -1;

    // When a frame is set, it fails but the switch is restored
    EXPECT_FALSE(service.setFrameSync(7, 1, QRectF(10, 20, 300, 200)));
    EXPECT_EQ(fake.writes().front(), "enhanced 7 false");
    EXPECT_EQ(fake.writes().back(), "enhanced 7 true");

    // With the interface off or unreadable it is never written
    for (AXRead<bool> state : {AXRead<bool>::success(false), AXRead<bool>::failure(AXStatus::failed)}) {
        fake.clearWrites();
        fake.program(7)->enhancedUserInterface = state;
        service.setFrameSync(7, 1, QRectF(10, 20, 300, 200));
        EXPECT_EQ(fake.writes().size(), 3u);
    }
}

TEST_F(AXWindowServiceTest, FrameCountsAsAppliedOnlyWithThePositionAndOneOfTheSizes) {
    fake.addProgram(7, {window(1)});
    const QRectF frame(10, 20, 300, 200);

    // Position refused, both sizes accepted: false
    fake.window(7, 1)->refusePositionWrites = 1;
    EXPECT_FALSE(service.setFrameSync(7, 1, frame));

    // First size refused, second accepted: true
    fake.window(7, 1)->refuseSizeWrites = 1;
    EXPECT_TRUE(service.setFrameSync(7, 1, frame));
    EXPECT_EQ(fake.window(7, 1)->frame, frame);

    // Both sizes refused: false
    fake.window(7, 1)->refuseSizeWrites = 2;
    EXPECT_FALSE(service.setFrameSync(7, 1, frame));

    // A frame with a number that is not finite never reaches the program
    fake.clearWrites();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(service.setFrameSync(7, 1, QRectF(nan, 0, 100, 100)));
    EXPECT_FALSE(service.setFrameSync(7, 1, QRectF(0, 0, std::numeric_limits<double>::infinity(), 100)));
    for (const QString& write : fake.writes())
        EXPECT_FALSE(write.contains(QStringLiteral("nan")) || write.contains(QStringLiteral("inf")));
}

TEST_F(AXWindowServiceTest, RaiseRestoresAndRaisesEvenWhenTheWindowManagerDoesNotBringItToFront) {
    FakeAXWindow minimised = window(1);
    minimised.minimized = true;
    fake.addProgram(7, {minimised}).bringToFrontSucceeds = false;

    // A window the program does not have: nothing found, nothing done
    AXWindowService::RaiseResult missing = service.raise(7, 99);
    EXPECT_FALSE(missing.found);
    EXPECT_FALSE(missing.fronted);
    EXPECT_TRUE(fake.writes().empty());

    // The window manager refuses: still restored, made main and raised
    AXWindowService::RaiseResult refused = service.raise(7, 1);
    EXPECT_TRUE(refused.found);
    EXPECT_FALSE(refused.fronted);
    EXPECT_EQ(fake.writes(), (std::vector<QString>{"minimized 1 false", "front 7 1", "main 1", "raise 1"}));

    fake.program(7)->bringToFrontSucceeds = true;
    EXPECT_TRUE(service.raise(7, 1).fronted);
}

TEST_F(AXWindowServiceTest, MinimiseAndCloseGoThroughTheQueueAndIgnoreOwnWindows) {
    fake.addProgram(7, {window(1), window(2)});
    fake.addProgram(ownPID, {window(5)});

    // Own windows: nothing is queued or written
    EXPECT_TRUE(service.setMinimized(true, 5, ownPID).isReady());
    EXPECT_TRUE(service.close(5, ownPID).isReady());
    EXPECT_EQ(queue.postedCount(), 0);
    EXPECT_TRUE(fake.writes().empty());

    // Other programs' windows are changed on the queue; missing ones are left alone
    service.setMinimized(true, 1, 7);
    service.close(2, 7);
    service.close(99, 7);
    EXPECT_EQ(queue.postedCount(), 3);
    EXPECT_TRUE(fake.window(7, 1)->minimized);
    EXPECT_FALSE(fake.window(7, 2));
    EXPECT_EQ(fake.writes(), (std::vector<QString>{"minimized 1 true", "close 2"}));
}

TEST_F(AXWindowServiceTest, SetFrameMovesOwnWindowsButNeverAPanel) {
    // Another program's window goes through the queue
    fake.addProgram(7, {window(1)});
    EXPECT_EQ(resultOf(service.setFrame(7, 1, QRectF(10, 20, 300, 200))), true);
    EXPECT_EQ(queue.postedCount(), 1);

    // Given one of our own windows and one of our floating panels
    QWidget own;
    own.setGeometry(0, 0, 100, 100);
    own.show();
    QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    panel.setGeometry(0, 0, 100, 100);
    panel.show();
    QCoreApplication::processEvents();

    // When our own window is addressed by its number, it moves without the queue
    EXPECT_EQ(
        resultOf(service.setFrame(ownPID, static_cast<uint32_t>(own.winId()), QRectF(30, 40, 320, 240))),
        true);
    QCoreApplication::processEvents();
    EXPECT_EQ(own.frameGeometry(), QRect(30, 40, 320, 240));
    EXPECT_EQ(queue.postedCount(), 1);

    // A panel is never moved
    EXPECT_EQ(
        resultOf(service.setFrame(ownPID, static_cast<uint32_t>(panel.winId()), QRectF(30, 40, 320, 240))),
        false);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 100, 100));
}

} // namespace
