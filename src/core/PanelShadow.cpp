#include "core/PanelShadow.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

namespace {

// The coverage of `path` (device pixels) in each pixel of a plane of `size`, 0 to 1.
std::vector<float> coverage(const QPainterPath& path, QSize size) {
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(path, Qt::black);
    }
    std::vector<float> plane(static_cast<std::size_t>(size.width()) * size.height());
    for (int y = 0; y < size.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < size.width(); ++x)
            plane[static_cast<std::size_t>(y) * size.width() + x] = qAlpha(line[x]) / 255.0f;
    }
    return plane;
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

// Three box averages each way come close to a Gaussian blur of `sigma` pixels.
void blur(std::vector<float>& plane, QSize size, double sigma) {
    const int reach = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
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

QImage PanelShadow::picture(const QPainterPath& outline, QSize size, double pixelRatio) const {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (isNone() || size.isEmpty() || outline.isEmpty())
        return image;
    std::vector<float> shade = coverage(outline.translated(offset * pixelRatio), size);
    // The radius is where the shadow has all but gone: two standard deviations.
    blur(shade, size, std::max(radius, 0.0) * pixelRatio / 2);
    const std::vector<float> covered = coverage(outline, size);
    const float strength = static_cast<float>(std::clamp(opacity, 0.0, 1.0));
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * size.width() + x;
            const float alpha = std::clamp(shade[at] * strength * (1.0f - covered[at]), 0.0f, 1.0f);
            line[x] = qRgba(0, 0, 0, static_cast<int>(std::lround(alpha * 255)));
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
