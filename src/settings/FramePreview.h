#pragma once

#include <QRectF>
#include <QWidget>

namespace corvane {

// A miniature of a saved window on its screen: a 48 by 30 screen with the window's rectangle
// (fractions of the screen) in the brand colour, never smaller than 3 by 3. A little room around
// the screen shows a window that reaches past its edge. A rectangle with a number that is not
// finite, or so large it could not be on any screen, is not drawn.
class FramePreview : public QWidget {
    Q_OBJECT
public:
    static constexpr double screenWidth = 48;
    static constexpr double screenHeight = 30;

    explicit FramePreview(const QRectF& relativeFrame, QWidget* parent = nullptr);

    // The window's rectangle in screen coordinates (origin at the screen's top-left); none when it
    // is not drawn.
    static std::optional<QRectF> windowRect(const QRectF& relativeFrame);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF m_frame;
};

} // namespace corvane
