// The shadow of a screen-wide panel (the snap wheel's preview), worked out anew as the panel takes
// a new size, beside its floor: clearing and filling a picture of that size once.
#include "core/PanelShadow.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <benchmark/benchmark.h>

using namespace corvane;

namespace {

const QSize screenWide(1946, 1095);

QPainterPath previewEdge() {
    QPainterPath edge;
    edge.setFillRule(Qt::OddEvenFill);
    edge.addRoundedRect(QRectF(13, 9, 1920, 1069), 12, 12);
    edge.addRoundedRect(QRectF(17, 13, 1912, 1061), 8, 8);
    return edge;
}

void screenWideShadow(benchmark::State& state) {
    const QPainterPath edge = previewEdge();
    for (auto _ : state)
        benchmark::DoNotOptimize(PanelShadow::soft().picture(edge, screenWide, 1.0));
}
BENCHMARK(screenWideShadow)->Unit(benchmark::kMillisecond);

void floorPictureOfThatSize(benchmark::State& state) {
    const QPainterPath edge = previewEdge();
    for (auto _ : state) {
        QImage image(screenWide, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(edge, Qt::black);
        painter.end();
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(floorPictureOfThatSize)->Unit(benchmark::kMillisecond);

} // namespace
