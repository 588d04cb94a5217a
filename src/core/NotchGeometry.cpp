#include "core/NotchGeometry.h"

#include <algorithm>
#include <cmath>

namespace corvane {

std::optional<QRectF> notchRect(const ScreenInfo& screen) {
    if (!(screen.safeAreaTop > 0) || !screen.auxiliaryTopLeft || !screen.auxiliaryTopRight)
        return std::nullopt;
    const double left = screen.frame.x() + screen.auxiliaryTopLeft->right();
    const double width = screen.auxiliaryTopRight->left() - screen.auxiliaryTopLeft->right();
    return QRectF(left, screen.frame.y(), width, screen.safeAreaTop);
}

std::optional<ScreenInfo> notchScreen(const std::vector<ScreenInfo>& screens) {
    const auto found = std::find_if(screens.begin(), screens.end(),
                                    [](const ScreenInfo& screen) { return notchRect(screen).has_value(); });
    return found != screens.end() ? std::optional<ScreenInfo>(*found) : std::nullopt;
}

QRectF fallbackBand(const ScreenInfo& screen) {
    const double depth = screen.visibleFrame.top() - screen.frame.top();
    const double height = std::max(depth, 24.0);
    return QRectF(screen.frame.center().x() - 40, screen.frame.top(), 80, height);
}

QRect pixelRect(const QRectF& rect) {
    return QRect(QPoint(int(std::lround(rect.x())), int(std::lround(rect.y()))),
                 QSize(int(std::lround(rect.width())), int(std::lround(rect.height()))));
}

} // namespace corvane
