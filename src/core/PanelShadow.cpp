#include "core/PanelShadow.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

namespace {

// The coverage of `path` (device pixels) in each pixel of a plane of `size`, 0 to 255.
QImage coverage(const QPainterPath& path, QSize size) {
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, Qt::black);
    return mask;
}

// One pass of a box average of `reach` pixels either side along lines of `count` values `step`
// apart; what lies beyond the ends counts as nothing.
void boxPass(std::vector<float>& plane, std::size_t first, std::size_t step, int count, int reach,
             std::vector<float>& line) {
    line.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        line[static_cast<std::size_t>(i)] = plane[first + static_cast<std::size_t>(i) * step];
    const float share = 1.0f / static_cast<float>(2 * reach + 1);
    float sum = 0;
    for (int i = 0; i < std::min(reach, count); ++i)
        sum += line[static_cast<std::size_t>(i)];
    for (int i = 0; i < count; ++i) {
        if (i + reach < count)
            sum += line[static_cast<std::size_t>(i + reach)];
        if (i - reach - 1 >= 0)
            sum -= line[static_cast<std::size_t>(i - reach - 1)];
        plane[first + static_cast<std::size_t>(i) * step] = sum * share;
    }
}

// Three box averages each way come close to a Gaussian blur; `reach` is each box's half width.
void blur(std::vector<float>& plane, QSize size, int reach) {
    const int w = size.width();
    const int h = size.height();
    std::vector<float> line;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            boxPass(plane, static_cast<std::size_t>(y) * w, 1, w, reach, line);
        for (int x = 0; x < w; ++x)
            boxPass(plane, static_cast<std::size_t>(x), static_cast<std::size_t>(w), h, reach, line);
    }
}

// The least and most value of a mask over any rectangle, read from those of small square cells:
// over the cells the rectangle touches.
class MaskRanges {
public:
    struct Range {
        uchar least = 255;
        uchar most = 0;
    };
    static constexpr int cell = 16;

    explicit MaskRanges(const QImage& mask)
        : m_across((mask.width() + cell - 1) / cell),
          m_ranges(static_cast<std::size_t>(m_across) * ((mask.height() + cell - 1) / cell)) {
        for (int y = 0; y < mask.height(); ++y) {
            const uchar* line = mask.constScanLine(y);
            Range* row = &m_ranges[static_cast<std::size_t>(y / cell) * m_across];
            for (int c = 0; c < m_across; ++c) {
                const int end = std::min((c + 1) * cell, mask.width());
                uchar least = row[c].least;
                uchar most = row[c].most;
                for (int x = c * cell; x < end; ++x) {
                    least = std::min(least, line[x]);
                    most = std::max(most, line[x]);
                }
                row[c] = {least, most};
            }
        }
    }

    // `area` lies within the mask.
    Range over(const QRect& area) const {
        Range range;
        for (int y = area.top() / cell; y <= area.bottom() / cell; ++y)
            for (int x = area.left() / cell; x <= area.right() / cell; ++x) {
                const Range& one = m_ranges[static_cast<std::size_t>(y) * m_across + x];
                range.least = std::min(range.least, one.least);
                range.most = std::max(range.most, one.most);
            }
        return range;
    }

private:
    int m_across;
    std::vector<Range> m_ranges;
};

} // namespace

QMargins PanelShadow::margins() const {
    if (isNone())
        return {};
    // The blur reaches `radius` beyond the moved outline, and a point more for its soft end.
    const auto side = [this](double shift) {
        return std::max(0, static_cast<int>(std::ceil(radius + shift)) + 1);
    };
    return QMargins(side(-offset.x()), side(-offset.y()), side(offset.x()), side(offset.y()));
}

// A large panel's shadow lies along its edge only: the blur is worked out tile by tile, and only
// where the outline passes near. A tile's blurred values depend on nothing further than three box
// widths from it, so each is blurred with that much of its surroundings and comes out as the
// whole plane's blur would give it.
QImage PanelShadow::picture(const QPainterPath& outline, QSize size, double pixelRatio) const {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (isNone() || size.isEmpty() || outline.isEmpty())
        return image;
    const QImage shade = coverage(outline.translated(offset * pixelRatio), size);
    const QImage covered = coverage(outline, size);
    // The radius is where the shadow has all but gone: two standard deviations.
    const double sigma = std::max(radius, 0.0) * pixelRatio / 2;
    const int reach = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    const int halo = 3 * reach;
    const float strength = static_cast<float>(std::clamp(opacity, 0.0, 1.0));

    constexpr int side = 64;
    const int across = (size.width() + side - 1) / side;
    const int down = (size.height() + side - 1) / side;
    const MaskRanges shadeRanges(shade);
    const MaskRanges coveredRanges(covered);
    std::vector<float> plane;
    for (int ty = 0; ty < down; ++ty) {
        for (int tx = 0; tx < across; ++tx) {
            const QRect tile = QRect(tx * side, ty * side, side, side).intersected(image.rect());
            // Wholly inside the outline: the panel hides its own shadow.
            if (coveredRanges.over(tile).least == 255)
                continue;
            // (Full only where no edge of the picture is near: beyond it counts as no shade.)
            const QRect reached = tile.adjusted(-halo, -halo, halo, halo);
            const QRect area = reached.intersected(image.rect());
            const MaskRanges::Range near = shadeRanges.over(area);
            // Far from the moved outline's edge the blur changes nothing: no shade at all, or full.
            if (near.most == 0)
                continue;
            const bool full = near.least == 255 && area == reached;
            if (!full) {
                plane.assign(static_cast<std::size_t>(area.width()) * area.height(), 0.0f);
                for (int y = 0; y < area.height(); ++y) {
                    const uchar* line = shade.constScanLine(area.top() + y) + area.left();
                    for (int x = 0; x < area.width(); ++x)
                        plane[static_cast<std::size_t>(y) * area.width() + x] = line[x] / 255.0f;
                }
                blur(plane, area.size(), reach);
            }
            for (int y = tile.top(); y <= tile.bottom(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                const uchar* inside = covered.constScanLine(y);
                for (int x = tile.left(); x <= tile.right(); ++x) {
                    const float shaded = full
                                             ? 1.0f
                                             : plane[static_cast<std::size_t>(y - area.top()) * area.width() +
                                                     (x - area.left())];
                    const float alpha =
                        std::clamp(shaded * strength * (1.0f - inside[x] / 255.0f), 0.0f, 1.0f);
                    line[x] = qRgba(0, 0, 0, static_cast<int>(alpha * 255.0f + 0.5f));
                }
            }
        }
    }
    return image;
}

void PanelShadow::paint(QPainter& painter, const QPainterPath& outline) const {
    if (isNone() || !painter.device())
        return;
    // Drawn in device pixels over the painter's whole device, so that it lands where the outline is.
    const double ratio = painter.device()->devicePixelRatioF();
    const QTransform toDevice = painter.transform() * QTransform::fromScale(ratio, ratio);
    const QSize size(static_cast<int>(std::ceil(painter.device()->width() * ratio)),
                     static_cast<int>(std::ceil(painter.device()->height() * ratio)));
    const double scale = std::sqrt(std::abs(toDevice.determinant()));
    PanelShadow scaled = *this;
    scaled.radius = radius * scale / ratio;
    scaled.offset = offset * scale / ratio;
    QImage shadow = scaled.picture(toDevice.map(outline), size, ratio);
    shadow.setDevicePixelRatio(ratio);
    painter.save();
    painter.resetTransform();
    painter.drawImage(QPointF(0, 0), shadow);
    painter.restore();
}

} // namespace corvane
