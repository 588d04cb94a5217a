#include "core/PanelShadow.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane::testing {
namespace {

// The shadow worked out over the whole picture at once: the outline moved, blurred by three box
// averages each way (nothing beyond the picture's edge), hidden where the outline covers.
QImage wholePlaneShadow(const PanelShadow& shadow, const QPainterPath& outline, QSize size, double ratio) {
    const auto plane = [&](const QPainterPath& path) {
        QImage mask(size, QImage::Format_ARGB32_Premultiplied);
        mask.fill(Qt::transparent);
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(path, Qt::black);
        painter.end();
        std::vector<float> values;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                values.push_back(qAlpha(mask.pixel(x, y)) / 255.0f);
        return values;
    };
    std::vector<float> shade = plane(outline.translated(shadow.offset * ratio));
    const std::vector<float> covered = plane(outline);
    const double sigma = shadow.radius * ratio / 2;
    const int reach = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    const int w = size.width();
    const int h = size.height();
    const auto pass = [&](int count, auto at) {
        std::vector<float> line(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            line[i] = shade[at(i)];
        for (int i = 0; i < count; ++i) {
            float sum = 0;
            for (int j = std::max(0, i - reach); j <= std::min(count - 1, i + reach); ++j)
                sum += line[j];
            shade[at(i)] = sum / static_cast<float>(2 * reach + 1);
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (int y = 0; y < h; ++y)
            pass(w, [&](int i) { return static_cast<std::size_t>(y) * w + i; });
        for (int x = 0; x < w; ++x)
            pass(h, [&](int i) { return static_cast<std::size_t>(i) * w + x; });
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * w + x;
            const float alpha =
                std::clamp(shade[at] * static_cast<float>(shadow.opacity) * (1.0f - covered[at]), 0.0f, 1.0f);
            image.setPixel(x, y, qRgba(0, 0, 0, static_cast<int>(std::lround(alpha * 255))));
        }
    return image;
}

// The most two pictures differ by in any pixel's alpha.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            largest = std::max(largest, std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))));
    return largest;
}

// Worked out only along the outline's edge, the shadow is the one the whole picture's blur gives:
// across the seams between the parts it is worked out in, at the picture's edges, inside a hole,
// and at twice the pixels.
TEST(PanelShadowTest, AShadowWorkedOutAlongItsEdgeIsTheWholePicturesBlur) {
    struct Case {
        const char* what;
        QSize size;
        double ratio;
        QPainterPath outline;
    };
    std::vector<Case> cases;
    QPainterPath panel;
    panel.addRoundedRect(QRectF(14, 12, 300, 170), 16, 16);
    cases.push_back({"a panel with its margin", QSize(328, 200), 1, panel});
    QPainterPath edge;
    edge.setFillRule(Qt::OddEvenFill);
    edge.addRoundedRect(QRectF(13, 9, 400, 260), 12, 12);
    edge.addRoundedRect(QRectF(17, 13, 392, 252), 8, 8);
    cases.push_back({"an edge with its inside cut out", QSize(426, 285), 1, edge});
    QPainterPath againstTheEdge;
    againstTheEdge.addRect(QRectF(0, 0, 150, 90));
    cases.push_back({"an outline that meets the picture's edge", QSize(190, 140), 1, againstTheEdge});
    QPainterPath doubled;
    doubled.addEllipse(QRectF(30, 26, 220, 220));
    cases.push_back({"a round outline at twice the pixels", QSize(290, 290), 2, doubled});

    for (const Case& c : cases) {
        for (const PanelShadow& shadow : {PanelShadow::soft(), PanelShadow{0.3, 8, QPointF(0, 3)}}) {
            const QImage quick = shadow.picture(c.outline, c.size, c.ratio);
            ASSERT_EQ(quick.size(), c.size) << c.what;
            EXPECT_LE(largestDifference(quick, wholePlaneShadow(shadow, c.outline, c.size, c.ratio)), 1)
                << c.what << ", radius " << shadow.radius;
        }
    }
    // A shadow moved far from its outline: fully shaded parts, and where they meet the picture's
    // edge, whose blur takes in nothing from beyond it.
    QPainterPath top;
    top.addRect(QRectF(0, 0, 200, 300));
    const PanelShadow far{0.3, 4, QPointF(0, 300)};
    EXPECT_LE(largestDifference(far.picture(top, QSize(200, 700), 1),
                                wholePlaneShadow(far, top, QSize(200, 700), 1)),
              1);
}

} // namespace
} // namespace corvane::testing
