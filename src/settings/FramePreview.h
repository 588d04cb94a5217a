#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

namespace corvane {

// A miniature of a saved window on its screen: a 48 by 30 screen with the window's rectangle
// (fractions of the screen) in the brand colour, never smaller than 3 by 3. The screen alone takes
// room in the layout; a window that reaches past the screen's edge is drawn past it, over its
// neighbours, as it lies (only the row it sits in bounds it). A rectangle with a number that is
// not finite, or so large it could not be on any screen, is not drawn.
class FramePreview : public QWidget {
    Q_OBJECT
public:
    static constexpr double screenWidth = 48;
    static constexpr double screenHeight = 30;

    explicit FramePreview(const QRectF& relativeFrame, QWidget* parent = nullptr);
    ~FramePreview() override;

    // The window's rectangle in screen coordinates (origin at the screen's top-left); none when it
    // is not drawn.
    static std::optional<QRectF> windowRect(const QRectF& relativeFrame);
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Puts the window's rectangle over the preview's parent, just above the preview.
    void placeWindow();

    QRectF m_frame;
    // The window's rectangle, a sibling of the preview so that the preview's edge does not cut it.
    QPointer<QWidget> m_window;
};

} // namespace corvane
