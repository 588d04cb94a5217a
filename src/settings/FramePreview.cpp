#include "settings/FramePreview.h"

#include "core/Colors.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
// Fractions beyond this are no screen's: a damaged or hand-edited file.
constexpr double largest = 100;

bool drawable(double value) {
    return std::isfinite(value) && std::abs(value) <= largest;
}

// The window's rounded rectangle at `rect`, in its own coordinates; clicks go through it.
class WindowShape final : public QWidget {
public:
    explicit WindowShape(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    void setShape(const QRectF& rect) {
        m_rect = rect;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor fill = brandColor();
        fill.setAlphaF(0.8f);
        painter.setBrush(fill);
        painter.drawRoundedRect(m_rect, 2, 2);
    }

private:
    QRectF m_rect;
};
} // namespace

FramePreview::FramePreview(const QRectF& relativeFrame, QWidget* parent)
    : QWidget(parent), m_frame(relativeFrame) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

FramePreview::~FramePreview() {
    delete m_window;
}

std::optional<QRectF> FramePreview::windowRect(const QRectF& relativeFrame) {
    if (!drawable(relativeFrame.x()) || !drawable(relativeFrame.y()) || !drawable(relativeFrame.width()) ||
        !drawable(relativeFrame.height()))
        return std::nullopt;
    return QRectF(screenWidth * relativeFrame.x(), screenHeight * relativeFrame.y(),
                  std::max(screenWidth * relativeFrame.width(), 3.0),
                  std::max(screenHeight * relativeFrame.height(), 3.0));
}

QSize FramePreview::sizeHint() const {
    return {static_cast<int>(screenWidth), static_cast<int>(screenHeight)};
}

bool FramePreview::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::ParentChange:
        placeWindow();
        break;
    case QEvent::Hide:
        if (m_window)
            m_window->hide();
        break;
    default:
        break;
    }
    return handled;
}

void FramePreview::placeWindow() {
    const std::optional<QRectF> window = windowRect(m_frame);
    QWidget* host = parentWidget();
    if (!window || !host || !isVisible()) {
        if (m_window)
            m_window->hide();
        return;
    }
    if (m_window && m_window->parentWidget() != host)
        delete m_window;
    if (!m_window)
        m_window = new WindowShape(host);
    const QRectF inHost = window->translated(pos());
    const QRect bounds = inHost.toAlignedRect();
    m_window->setGeometry(bounds);
    static_cast<WindowShape*>(m_window.data())->setShape(inHost.translated(-bounds.topLeft()));
    // Right above the preview: the widgets after it in the row still cover what reaches them.
    const QObjectList& siblings = host->children();
    QWidget* next = nullptr;
    for (qsizetype i = siblings.indexOf(this) + 1; i < siblings.size() && !next; ++i) {
        auto* widget = qobject_cast<QWidget*>(siblings[i]);
        if (widget && widget != m_window && !widget->isWindow())
            next = widget;
    }
    if (next)
        m_window->stackUnder(next);
    else
        m_window->raise();
    m_window->show();
}

void FramePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor screen = palette().color(QPalette::WindowText);
    screen.setAlphaF(0.08f);
    painter.setBrush(screen);
    painter.drawRoundedRect(QRectF(0, 0, screenWidth, screenHeight), 3, 3);
}

} // namespace corvane
