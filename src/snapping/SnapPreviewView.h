#pragma once

#include <QColor>
#include <QPainterPath>
#include <QWidget>

namespace corvane {

// Where a snap would put a window: a rounded rectangle tinted with the accent colour and edged
// with it, filling whatever size it is given.
class SnapPreviewView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double cornerRadius = 14;
    static constexpr double edgeWidth = 3;

    explicit SnapPreviewView(const QColor& accent, QWidget* parent = nullptr);

    // The preview's edge alone, a rounded frame: what shows where translucency cannot, so that
    // the preview never hides the windows under it.
    static QPainterPath edgeOutline(const QSize& size);

    QColor accent() const { return m_accent; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_accent;
};

} // namespace corvane
