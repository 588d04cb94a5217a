#include "core/ScreenHelpers.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

double overlapArea(const QRectF& a, const QRectF& b) {
    const double width = std::min(a.right(), b.right()) - std::max(a.left(), b.left());
    const double height = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    // Written so that NaN falls to 0 as well.
    if (!(width > 0) || !(height > 0))
        return 0;
    return width * height;
}

std::optional<ScreenInfo> screenContaining(const std::vector<ScreenInfo>& list, QPointF point) {
    for (const ScreenInfo& screen : list) {
        if (pointInRect(point, screen.frame))
            return screen;
    }
    return std::nullopt;
}

void centerWindowOn(const QRectF& visible, QWidget& window, const QMargins& expectedFrame) {
    const QRect client = window.geometry();
    const QRect drawn = window.frameGeometry();
    QMargins frame(client.left() - drawn.left(), client.top() - drawn.top(), drawn.right() - client.right(),
                   drawn.bottom() - client.bottom());
    if (frame.isNull())
        frame = expectedFrame;
    const QSize size = client.size().grownBy(frame);
    const double x = visible.center().x() - size.width() / 2.0;
    const double y = visible.center().y() - size.height() / 2.0 - 0.08 * visible.height();
    const QPoint clientAt = QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))) +
                            QPoint(frame.left(), frame.top());
    // `move` places the frame where the toolkit knows it, else the window itself.
    window.move(clientAt - (client.topLeft() - window.pos()));
}

} // namespace

bool pointInRect(QPointF point, const QRectF& rect) {
    const QRectF r = rect.normalized();
    return r.left() <= point.x() && point.x() < r.right() && r.top() <= point.y() && point.y() < r.bottom();
}

QRectF topLeftVisibleFrame(const ScreenInfo& screen) {
    return screen.visibleFrame;
}

std::optional<ScreenInfo> screenUnderMouse(const Screens& screens) {
    std::vector<ScreenInfo> list = screens.screens();
    // With one screen the pointer can be on no other, and asking the server where it is would
    // cost a panel opened on a key a round trip.
    if (list.size() == 1)
        return std::move(list.front());
    if (auto screen = screenContaining(list, screens.pointerLocation()))
        return screen;
    return screens.mainScreen();
}

std::optional<ScreenInfo> screenForRect(const Screens& screens, const QRectF& rect) {
    const std::vector<ScreenInfo> list = screens.screens();
    const std::optional<ScreenInfo> best = screenForRect(list, std::nullopt, rect);
    return best ? best : screens.mainScreen();
}

std::optional<ScreenInfo> screenForRectNearPointer(const Screens& screens, const QRectF& rect) {
    // The pointer is asked for only when the rectangle itself settles nothing.
    const std::optional<ScreenInfo> best = screenForRect(screens.screens(), std::nullopt, rect);
    return best ? best : screenUnderMouse(screens);
}

std::optional<ScreenInfo> screenForRect(const std::vector<ScreenInfo>& list,
                                        const std::optional<ScreenInfo>& mainScreen, const QRectF& rect) {
    const QRectF r = rect.normalized();
    const ScreenInfo* best = nullptr;
    double bestArea = 0;
    for (const ScreenInfo& screen : list) {
        const double area = overlapArea(screen.frame, r);
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    if (best)
        return *best;
    if (auto screen = screenContaining(list, r.center()))
        return screen;
    return mainScreen;
}

std::optional<uint32_t> displayID(const ScreenInfo& screen) {
    return screen.displayNumber;
}

QString displayUUID(const ScreenInfo& screen) {
    if (screen.uuid && !screen.uuid->isEmpty())
        return *screen.uuid;
    return screen.name;
}

std::optional<ScreenInfo> screenWithIdentifier(const Screens& screens,
                                               const std::optional<QString>& identifier) {
    if (!identifier)
        return std::nullopt;
    const std::vector<ScreenInfo> list = screens.screens();
    for (const ScreenInfo& screen : list) {
        if (displayUUID(screen) == *identifier)
            return screen;
    }
    for (const ScreenInfo& screen : list) {
        if (screen.name == *identifier)
            return screen;
    }
    return std::nullopt;
}

void centerOnMouseScreen(const Screens& screens, QWidget& window, const QMargins& expectedFrame) {
    if (auto screen = screenUnderMouse(screens)) {
        centerWindowOn(screen->visibleFrame, window, expectedFrame);
        return;
    }
    // Neither the pointer nor focus names a screen: the primary one is the window's own centre.
    const std::vector<ScreenInfo> list = screens.screens();
    if (!list.empty())
        centerWindowOn(list.front().visibleFrame, window, expectedFrame);
}

bool isSameScreen(const ScreenInfo& a, const ScreenInfo& b) {
    const auto idA = displayID(a);
    const auto idB = displayID(b);
    if (idA && idB)
        return *idA == *idB;
    return a.frame == b.frame;
}

} // namespace corvane
