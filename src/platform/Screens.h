#pragma once

#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace corvane {

// One display, in the product's single coordinate space: Qt logical pixels, origin at the top
// left of the X root window, y growing down.
struct ScreenInfo {
    QString name; // the output's name ("HDMI-1"), also its fallback identifier
    QRectF frame;
    QRectF visibleFrame; // the frame less panels and docks
    std::optional<uint32_t> displayNumber;
    std::optional<QString> uuid; // stable across runs where the display has an EDID
    // A display with a camera notch in its top edge: the depth of the band the notch cuts, and the
    // usable areas left and right of it, relative to the screen's top left. No display here has
    // one; the fake platform can script one.
    double safeAreaTop = 0;
    std::optional<QRectF> auxiliaryTopLeft;
    std::optional<QRectF> auxiliaryTopRight;
    bool operator==(const ScreenInfo&) const = default;
};

// The screens and the pointer. The first screen of the list is the primary one.
class Screens : public QObject {
    Q_OBJECT
public:
    virtual std::vector<ScreenInfo> screens() const = 0;
    // The screen that holds keyboard focus; the primary one where that cannot be told.
    virtual std::optional<ScreenInfo> mainScreen() const = 0;
    virtual QPointF pointerLocation() const = 0;

Q_SIGNALS:
    // Displays were added, removed, moved or resized.
    void screensChanged();
};

} // namespace corvane
