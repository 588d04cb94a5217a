#include "sidebar/SidebarFooter.h"

#include "sidebar/SidebarMetrics.h"
#include "sidebar/SidebarPainting.h"
#include "sidebar/SidebarSymbols.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace corvane {

using namespace SidebarPainting;

namespace {
constexpr double horizontalPadding = 10;
constexpr double gearBox = 18;
} // namespace

SidebarFooter::SidebarFooter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

QSize SidebarFooter::sizeHint() const {
    return QSize(104, static_cast<int>(SidebarMetrics::footerHeight));
}

QRectF SidebarFooter::gearRect() const {
    return QRectF(width() - horizontalPadding - gearBox, (height() - gearBox) / 2, gearBox, gearBox);
}

bool SidebarFooter::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (gearRect().contains(help->pos()))
            QToolTip::showText(help->globalPos(), QStringLiteral("Corvane Settings"), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void SidebarFooter::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton && gearRect().contains(event->position());
    event->setAccepted(m_pressed);
}

void SidebarFooter::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && gearRect().contains(event->position());
    m_pressed = false;
    if (click)
        Q_EMIT settingsClicked();
}

void SidebarFooter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = this->font();
    // Pixel sizes are whole numbers: the name is set at twice its 8.5 points and drawn at half scale.
    font.setPixelSize(17);
    font.setWeight(QFont::Black);
    p.save();
    p.scale(0.5, 0.5);
    p.setFont(font);
    p.setPen(secondary(*this));
    const QRectF name(2 * horizontalPadding, 0, 2 * (gearRect().left() - 4 - horizontalPadding),
                      2 * height());
    p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QStringLiteral("Corvane"));
    p.restore();
    QRectF symbol(0, 0, 10, 10);
    symbol.moveCenter(gearRect().center());
    drawSidebarSymbol(p, QStringLiteral("gearshape.fill"), symbol, secondary(*this));
}

} // namespace corvane
