#include "snapping/RadialRingView.h"
#include "core/FloatingPanel.h"
#include "platform/fake/FakePanelWindowing.h"
#include "runtime/ManualScheduler.h"
#include "snapping/RadialModel.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace corvane::testing {
namespace {

const RadialDirection sectors[] = {RadialDirection::right,  RadialDirection::topRight,
                                   RadialDirection::top,    RadialDirection::topLeft,
                                   RadialDirection::left,   RadialDirection::bottomLeft,
                                   RadialDirection::bottom, RadialDirection::bottomRight};

// The ring as it shows once every animation has ended: a view made over a model starts there.
QImage picture(RadialModel& model, Scheduler& scheduler) {
    RadialRingView view(model, scheduler);
    return view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// How strongly the middle of the band at a sector shows the red accent.
int redness(const QImage& image, RadialDirection sector) {
    const double angle = RadialModel::sectorAngle(sector) * std::numbers::pi / 180;
    const double middle = RadialRingView::outerDiameter / 2 - RadialRingView::bandWidth / 2;
    const double scale = image.devicePixelRatio();
    const double x = (RadialRingView::side / 2.0 + middle * std::cos(angle)) * scale;
    const double y = (RadialRingView::side / 2.0 - middle * std::sin(angle)) * scale;
    const QColor colour = image.pixelColor(static_cast<int>(x), static_cast<int>(y));
    return colour.red() - std::max(colour.green(), colour.blue());
}

// Frames that come only every 300 ms, as on a busy machine.
class LateFrames final : public Scheduler {
public:
    explicit LateFrames(ManualScheduler& clock) : m_clock(clock) {}
    Instant now() const override { return m_clock.now(); }
    QDateTime wallNow() const override { return m_clock.wallNow(); }
    TimerHandle schedule(Seconds delay, std::function<void()> fn) override {
        return m_clock.schedule(delay, std::move(fn));
    }
    TimerHandle scheduleRepeating(Seconds, Seconds tolerance, std::function<void()> fn) override {
        return m_clock.scheduleRepeating(Seconds(0.3), tolerance, std::move(fn));
    }

private:
    ManualScheduler& m_clock;
};

class RadialRingViewTest : public ::testing::Test {
protected:
    RadialRingViewTest() {
        model.setAccent(QColor(255, 0, 0));
        model.setAppeared(true);
    }
    RadialModel model;
    ManualScheduler scheduler;
};

TEST_F(RadialRingViewTest, OnlyTheSelectedSectorShowsTheAccent) {
    for (RadialDirection selected : sectors) {
        SCOPED_TRACE(rawValue(selected).toStdString());
        model.assignDirection(RadialDirection::center);
        model.setDirection(selected);
        const QImage image = picture(model, scheduler);
        for (RadialDirection sector : sectors) {
            if (sector == selected)
                EXPECT_GT(redness(image, sector), 150) << "at " << rawValue(sector).toStdString();
            else
                EXPECT_LT(redness(image, sector), 40) << "at " << rawValue(sector).toStdString();
        }
    }
}

TEST_F(RadialRingViewTest, TheCentreLightsTheWholeBandOnlyWhenItHasAnAction) {
    model.setDirection(RadialDirection::center);
    QImage image = picture(model, scheduler);
    for (RadialDirection sector : sectors)
        EXPECT_GT(redness(image, sector), 150);

    model.setCenterHasAction(false);
    image = picture(model, scheduler);
    for (RadialDirection sector : sectors) {
        EXPECT_LT(redness(image, sector), 40);
        // The band itself is still drawn.
        EXPECT_GT(image.pixelColor(RadialRingView::side / 2 + 35, RadialRingView::side / 2).alpha(), 100);
    }
}

TEST_F(RadialRingViewTest, ARingThatHasNotAppearedDrawsNothing) {
    model.setDirection(RadialDirection::left);
    model.setAppeared(false);
    const QImage image = picture(model, scheduler);
    int visible = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            visible += image.pixelColor(x, y).alpha() > 0;
    EXPECT_EQ(visible, 0);
}

TEST_F(RadialRingViewTest, TheRingGrowsInOnlyWhereACompositingManagerShowsIt) {
    // A point of the band near its outer edge, which the ring covers only at full size.
    const QPoint nearOuterEdge(RadialRingView::side / 2 +
                                   static_cast<int>(RadialRingView::outerDiameter / 2) - 3,
                               RadialRingView::side / 2);
    for (bool compositing : {true, false}) {
        SCOPED_TRACE(compositing ? "compositing" : "no compositing");
        FakePanelWindowing windowing;
        windowing.setCompositing(compositing);
        FloatingPanel panel(windowing, QRect(0, 0, RadialRingView::side, RadialRingView::side), 101, true);
        model.setAppeared(false);
        auto* view = new RadialRingView(model, scheduler);
        panel.setContentView(view);

        model.setAppeared(true);
        const QImage first = view->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(first.pixelColor(nearOuterEdge).alpha() > 100, !compositing);
        scheduler.advance(Seconds(1));
        const QImage settled = view->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_GT(settled.pixelColor(nearOuterEdge).alpha(), 100);
    }
}

TEST_F(RadialRingViewTest, TheRingGrowsInOnTheClockWhenFramesComeLate) {
    FakePanelWindowing windowing;
    windowing.setCompositing(true);
    FloatingPanel panel(windowing, QRect(0, 0, RadialRingView::side, RadialRingView::side), 101, true);
    model.setAppeared(false);
    LateFrames late(scheduler);
    auto* view = new RadialRingView(model, late);
    panel.setContentView(view);
    model.setAppeared(true);
    scheduler.advance(Seconds(1.5));
    EXPECT_EQ(view->grab().toImage().convertToFormat(QImage::Format_ARGB32), picture(model, scheduler));
}

} // namespace
} // namespace corvane::testing
