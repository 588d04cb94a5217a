#include "core/PanelBackground.h"

#include "core/FloatingPanel.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// The desktop blurs nothing behind our windows, so each material is a translucent fill with a
// hairline rim. Frosted follows the application's palette (light or dark); glass is the lighter,
// clearer variant with a sheen at the top; dark is the heads-up look whatever the palette.
class PanelBackgroundView final : public QWidget {
public:
    PanelBackgroundView(PanelStyle style, double cornerRadius)
        : m_style(style), m_cornerRadius(std::isfinite(cornerRadius) ? std::max(cornerRadius, 0.0) : 0.0) {
        if (style == PanelStyle::dark) {
            QPalette vibrantDark = palette();
            for (auto role :
                 {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText})
                vibrantDark.setColor(role, QColor(255, 255, 255, 235));
            vibrantDark.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 140));
            vibrantDark.setColor(QPalette::Window, darkFill());
            setPalette(vibrantDark);
        }
    }

    // The colour the material shows as where nothing can show through it.
    QColor groundColor() const {
        return m_style == PanelStyle::dark ? darkFill() : palette().color(QPalette::Window);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        // A large panel's rounded fill takes a while to draw: it is drawn once for each size and
        // palette, and copied at every paint after.
        const double ratio = devicePixelRatioF();
        if (m_picture.isNull() || m_picture.deviceIndependentSize() != QSizeF(size()) ||
            m_picture.devicePixelRatio() != ratio || m_paletteKey != palette().cacheKey()) {
            m_picture = QPixmap(size() * ratio);
            m_picture.setDevicePixelRatio(ratio);
            m_picture.fill(Qt::transparent);
            QPainter picture(&m_picture);
            paintMaterial(picture);
            m_paletteKey = palette().cacheKey();
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_picture);
    }

private:
    void paintMaterial(QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        // A radius beyond half the shorter side would give elliptic ends instead of a capsule.
        const double radius = std::min(m_cornerRadius, std::min(bounds.width(), bounds.height()) / 2.0);
        QPainterPath shape;
        shape.addRoundedRect(bounds, radius, radius);

        switch (m_style) {
        case PanelStyle::dark:
            painter.fillPath(shape, darkFill());
            painter.strokePath(shape, QPen(QColor(255, 255, 255, 26), 1.0));
            break;
        case PanelStyle::frosted:
            painter.fillPath(shape, withAlpha(palette().color(QPalette::Window), 0.92));
            painter.strokePath(shape, QPen(withAlpha(palette().color(QPalette::WindowText), 0.12), 1.0));
            break;
        case PanelStyle::glass: {
            painter.fillPath(shape, withAlpha(palette().color(QPalette::Window), 0.72));
            QLinearGradient sheen(bounds.topLeft(), QPointF(bounds.left(), bounds.center().y()));
            sheen.setColorAt(0, QColor(255, 255, 255, 90));
            sheen.setColorAt(1, QColor(255, 255, 255, 0));
            painter.fillPath(shape, sheen);
            painter.strokePath(shape, QPen(QColor(255, 255, 255, 115), 1.0));
            break;
        }
        }
    }

    static QColor darkFill() { return QColor(30, 30, 32, 220); }
    static QColor withAlpha(QColor color, double alpha) {
        color.setAlphaF(static_cast<float>(alpha));
        return color;
    }

    PanelStyle m_style;
    double m_cornerRadius;
    QPixmap m_picture;
    qint64 m_paletteKey = 0;
};

} // namespace

QWidget* makePanelBackground(PanelStyle style, QWidget* content, double cornerRadius) {
    auto* container = new PanelBackgroundView(style, cornerRadius);
    // The panel it fills takes its outline from it.
    container->setProperty(cornerRadiusProperty, cornerRadius);
    container->setProperty(groundColorProperty, container->groundColor());
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (content)
        layout->addWidget(content);
    return container;
}

} // namespace corvane
