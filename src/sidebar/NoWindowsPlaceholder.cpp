#include "sidebar/NoWindowsPlaceholder.h"

#include "sidebar/SidebarPainting.h"
#include "sidebar/SidebarSymbols.h"

#include <QFontMetricsF>
#include <QPainter>

namespace corvane {

NoWindowsPlaceholder::NoWindowsPlaceholder(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void NoWindowsPlaceholder::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor color = SidebarPainting::secondary(*this);
    QFont font = this->font();
    font.setPixelSize(9);
    const QFontMetricsF metrics(font);
    const double symbol = 16;
    const double spacing = 4;
    const double total = symbol + spacing + metrics.height();
    const double top = (height() - total) / 2;
    drawSidebarSymbol(p, QStringLiteral("macwindow.on.rectangle"),
                      QRectF((width() - symbol) / 2, top, symbol, symbol), color);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(0, top + symbol + spacing, width(), metrics.height()),
               Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("No windows"));
}

} // namespace corvane
