#pragma once

#include "support/AppFixture.h"

#include <QPoint>
#include <QRect>

namespace corvane::testing {

// The application on two side-by-side screens, each with a panel along its top edge.
class SettingsFixture : public AppFixture {
protected:
    SettingsFixture() {
        platform->fakeScreens->setScreens({left, right});
        pointAt(left);
    }

    void pointAt(const ScreenInfo& screen) { platform->fakeScreens->setPointer(screen.frame.center()); }

    // Where a window of `size` lands when centred on the screen and lifted by 8 % of its height.
    static QPoint centredOn(const ScreenInfo& screen, QSize size) {
        const QRectF visible = screen.visibleFrame;
        return QPoint(qRound(visible.center().x() - size.width() / 2.0),
                      qRound(visible.center().y() - size.height() / 2.0 - 0.08 * visible.height()));
    }

    const ScreenInfo left{QStringLiteral("DP-1"), QRectF(0, 0, 1920, 1080), QRectF(0, 32, 1920, 1048), 1u,
                          std::nullopt};
    const ScreenInfo right{QStringLiteral("DP-2"), QRectF(1920, 0, 1600, 1000), QRectF(1920, 40, 1600, 960),
                           2u, std::nullopt};
};

} // namespace corvane::testing
