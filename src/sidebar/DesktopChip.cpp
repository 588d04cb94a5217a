#include "sidebar/DesktopChip.h"

#include "sidebar/SidebarMetrics.h"
#include "sidebar/SidebarPainting.h"
#include "sidebar/SidebarSymbols.h"
#include "sidebar/StripMotion.h"

#include <QPainter>

#include <algorithm>

namespace corvane {

using namespace SidebarPainting;

DesktopChip::DesktopChip(SpaceInfo space, bool isCurrent, QColor accent, bool hasOverview, QWidget* parent)
    : QWidget(parent), m_space(space), m_isCurrent(isCurrent), m_hasOverview(hasOverview), m_accent(accent),
      m_currentProgress(isCurrent ? 1 : 0) {
    setAttribute(Qt::WA_TranslucentBackground);
    setToolTip(helpText(m_space, m_hasOverview));
    resize(sizeHint());
}

void DesktopChip::setSpace(SpaceInfo space) {
    if (space == m_space)
        return;
    m_space = space;
    setToolTip(helpText(m_space, m_hasOverview));
    update();
}

void DesktopChip::setCurrent(bool current) {
    if (current == m_isCurrent)
        return;
    m_isCurrent = current;
    StripMotion::drive(m_animator, *this, "currentProgress", current ? 1 : 0, StripMotion::mark());
}

void DesktopChip::setCurrentProgress(double progress) {
    m_currentProgress = progress;
    update();
}

void DesktopChip::setAccent(QColor accent) {
    if (accent == m_accent)
        return;
    m_accent = accent;
    update();
}

QSize DesktopChip::sizeHint() const {
    return QSize(static_cast<int>(SidebarMetrics::spaceChipWidth),
                 static_cast<int>(SidebarMetrics::spaceChipHeight));
}

QString DesktopChip::helpText(const SpaceInfo& space, bool hasOverview) {
    if (space.isFullscreen)
        return QStringLiteral("Fullscreen app");
    const QString name = QStringLiteral("Desktop ") + QString::number(space.index);
    // Without an overview of the desktops a double-click switches, as a click does.
    if (!hasOverview)
        return name;
    return name + QStringLiteral(" \u2014 double-click to see its windows");
}

void DesktopChip::setPresence(double presence) {
    m_presence = presence;
    update();
}

void DesktopChip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, SidebarMetrics::spaceChipWidth, SidebarMetrics::spaceChipHeight);
    const double scale = StripMotion::arrivalScale(m_presence);
    p.setOpacity(std::clamp(m_presence, 0.0, 1.0));
    p.translate(box.center());
    p.scale(scale, scale);
    p.translate(-box.center());
    const QColor text = primary(*this);
    p.setPen(Qt::NoPen);
    const double t = m_currentProgress;
    p.setBrush(mixed(withAlpha(text, 0.10), m_accent, t));
    p.drawRoundedRect(box, 4, 4);
    strokeInside(p, box, 4, withAlpha(text, 0.18 * (1 - t)), 0.5);

    const QColor foreground = mixed(secondary(*this), Qt::white, t);
    if (m_space.isFullscreen) {
        QRectF symbol(0, 0, 7, 7);
        symbol.moveCenter(box.center());
        drawSidebarSymbol(p, QStringLiteral("arrow.up.left.and.arrow.down.right"), symbol, foreground);
        return;
    }
    QFont font = this->font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(foreground);
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, QString::number(m_space.index));
}

} // namespace corvane
