#include "app/MenuBarIcon.h"
#include "core/TrayPicture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvane {
namespace {

double luminance(QColor colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The pixels of the icon, laid on a panel of `panel`, that stand out from it by 3:1 or more.
int legiblePixels(const QIcon& icon, QColor panel, QSize size = QSize(20, 16)) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(panel);
    {
        QPainter painter(&image);
        icon.paint(&painter, image.rect());
    }
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += contrast(image.pixelColor(x, y), panel) >= 3.0 ? 1 : 0;
    return count;
}

TEST(MenuBarIconTest, StandsOutOnDarkAndLightPanels) {
    // The 1.5-wide frame alone covers about 85 pixels; a mark that vanished on either panel would
    // leave almost none standing out.
    for (QColor panel :
         {QColor(0x1F, 0x1F, 0x1F), QColor(0x30, 0x36, 0x3D), QColor(0xF0, 0xF0, 0xF0), QColor(Qt::white)}) {
        EXPECT_GE(legiblePixels(menuBarTemplateImage(), panel), 80) << panel.name().toStdString();
    }
}

TEST(MenuBarIconTest, EveryOtherTrayPictureStandsOutOnDarkAndLightPanelsWhateverItsSymbolsColour) {
    for (QColor ink : {QColor(Qt::white), QColor(Qt::black)}) {
        QPixmap disc(22, 22);
        disc.fill(Qt::transparent);
        QPainter painter(&disc);
        painter.setBrush(ink);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRect(3, 3, 16, 16));
        painter.end();
        const QIcon icon(outlinedTrayPicture(disc));
        for (QColor panel : {QColor(0x1F, 0x1F, 0x1F), QColor(0xF0, 0xF0, 0xF0), QColor(Qt::white)})
            // The outline alone, about 50 pixels, stands out on a light panel, the fill on a dark one.
            EXPECT_GE(legiblePixels(icon, panel, QSize(24, 24)), 45)
                << ink.name().toStdString() << " on " << panel.name().toStdString();
    }
}

} // namespace
} // namespace corvane
