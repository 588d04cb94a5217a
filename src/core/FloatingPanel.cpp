#include "core/FloatingPanel.h"

#include "platform/PanelWindowing.h"

#include <QVBoxLayout>
#include <QWindow>

namespace corvane {

FloatingPanel::FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level,
                             bool ignoresMouse)
    : FloatingPanel(windowing, contentRect, level, ignoresMouse, false) {}

FloatingPanel::FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level,
                             bool ignoresMouse, bool canBecomeKey)
    : QWidget(nullptr), m_windowing(windowing), m_level(level), m_ignoresMouse(ignoresMouse),
      m_canBecomeKey(canBecomeKey) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
    if (level > PanelLevel::normal)
        flags |= Qt::WindowStaysOnTopHint;
    if (!canBecomeKey)
        flags |= Qt::WindowDoesNotAcceptFocus;
    if (ignoresMouse)
        flags |= Qt::WindowTransparentForInput;
    setWindowFlags(flags);

    setAttribute(Qt::WA_ShowWithoutActivating, !canBecomeKey);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents, ignoresMouse);
    // The owner keeps the panel for reuse: closing it only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    if (!canBecomeKey)
        setFocusPolicy(Qt::NoFocus);

    // The frame is the caller's; the content view follows it rather than sizing the panel.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    setGeometry(contentRect);
    // The native window exists from the start, so that the desktop hints can be set before the
    // first show.
    winId();
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::setContentView(QWidget* view) {
    if (view == m_contentView)
        return;
    delete m_contentView.data();
    m_contentView = view;
    if (view)
        layout()->addWidget(view);
}

void FloatingPanel::setAlphaValue(double alpha) {
    m_alpha = alpha;
    setWindowOpacity(alpha);
}

void FloatingPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Sent before Qt maps the window, so the hints are in place when the window manager looks.
    if (QWindow* window = windowHandle())
        m_windowing.showOnAllDesktops(*window);
}

} // namespace corvane
