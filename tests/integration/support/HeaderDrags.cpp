#include "support/HeaderDrags.h"

#include "support/ServerQueries.h"
#include "support/XTestInput.h"

#include "shelf/WindowDragHandle.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace corvane::testing {

namespace {
constexpr int waitMs = 5000;
} // namespace

QPoint emptyHeaderPoint(const QWidget& panel) {
    const auto* handle = panel.findChild<WindowDragHandle*>();
    const QWidget* header = handle ? handle->parentWidget() : nullptr;
    if (!header)
        return {};
    for (int x = header->width() / 2; x < header->width(); x += 4) {
        const QPoint at(x, header->height() / 2);
        if (header->childAt(at) == handle)
            return header->mapToGlobal(at);
    }
    return {};
}

void dragHeader(const XTestInput& input, const QWidget& panel, QPoint by, QRect* from) {
    // A panel still sliding in would be put back on its way by the slide.
    QRect placed = panel.geometry();
    QElapsedTimer still;
    still.start();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (panel.geometry() != placed) {
                placed = panel.geometry();
                still.restart();
            }
            return still.elapsed() > 300;
        },
        waitMs));
    if (from)
        *from = placed;
    const QPoint header = emptyHeaderPoint(panel);
    ASSERT_TRUE(placed.contains(header)) << describe(placed).toStdString();
    input.moveTo(header);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QCursor::pos() == header; }, waitMs));
    input.pressButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::mouseButtons() & Qt::LeftButton; }, waitMs));
    const QPoint start(by.x() / 6, by.y() / 6);
    input.moveTo(header + start);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.geometry() == placed.translated(start); }, waitMs))
        << describe(panel.geometry()).toStdString() << " after a drag of " << start.x() << "," << start.y();
    input.moveTo(header + by);
    input.releaseButton();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.geometry() == placed.translated(by); }, waitMs))
        << describe(panel.geometry()).toStdString() << " after a drag of " << by.x() << "," << by.y();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::mouseButtons() == Qt::NoButton; }, waitMs));
}

} // namespace corvane::testing
