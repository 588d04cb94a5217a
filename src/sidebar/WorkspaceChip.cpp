#include "sidebar/WorkspaceChip.h"

#include "core/Colors.h"
#include "core/ShortcutText.h"
#include "sidebar/SidebarPainting.h"
#include "sidebar/StripMotion.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

#include <cmath>

namespace corvane {

using namespace SidebarPainting;

WorkspaceChip::WorkspaceChip(Workspace workspace, bool isTargeted, bool isRestoring, QWidget* parent)
    : QWidget(parent), m_workspace(std::move(workspace)), m_initials(m_workspace.initials()),
      m_isTargeted(isTargeted), m_isRestoring(isRestoring), m_drawnScale(scale()) {
    setAttribute(Qt::WA_TranslucentBackground);
    setToolTip(helpText(m_workspace));
    resize(sizeHint());
}

void WorkspaceChip::setWorkspace(Workspace workspace) {
    if (workspace == m_workspace)
        return;
    if (workspace.name != m_workspace.name)
        m_initials = workspace.initials();
    m_workspace = std::move(workspace);
    setToolTip(helpText(m_workspace));
    update();
}

void WorkspaceChip::setTargeted(bool targeted) {
    if (targeted == m_isTargeted)
        return;
    m_isTargeted = targeted;
    StripMotion::drive(m_animator, *this, "drawnScale", scale(), StripMotion::dropTarget());
}

void WorkspaceChip::setDrawnScale(double scale) {
    m_drawnScale = scale;
    update();
}

void WorkspaceChip::setRestoring(bool restoring) {
    if (restoring == m_isRestoring)
        return;
    m_isRestoring = restoring;
    update();
}

QRectF WorkspaceChip::chipRect() const {
    return QRectF(bleed, bleed, side, side);
}

QSize WorkspaceChip::sizeHint() const {
    const int extent = static_cast<int>(side) + 2 * bleed;
    return QSize(extent, extent);
}

QColor WorkspaceChip::discColor() const {
    return colorFromHex(m_workspace.colorHex);
}

QString WorkspaceChip::helpText(const Workspace& workspace) {
    // A tooltip shows a line or two; a name of megabytes would only cost its layout.
    constexpr qsizetype shownLength = 300;
    const QString name = workspace.name.size() > shownLength
                             ? workspace.name.left(shownLength) + QChar(0x2026)
                             : workspace.name;
    if (!workspace.hotkeyIndex)
        return name;
    // The slot's default shortcut, Alt and its digit.
    const auto digit = static_cast<Qt::Key>(Qt::Key_0 + *workspace.hotkeyIndex);
    return name + QStringLiteral("  ") + shortcutText(QKeyCombination(Qt::AltModifier, digit));
}

void WorkspaceChip::setPresence(double presence) {
    m_presence = presence;
    update();
}

void WorkspaceChip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF chip = chipRect();
    const double scale = m_drawnScale * StripMotion::arrivalScale(m_presence);
    p.setOpacity(std::clamp(m_presence, 0.0, 1.0));
    p.translate(chip.center());
    p.scale(scale, scale);
    p.translate(-chip.center());

    drawShadow(p, chip, side / 2, 0.25, 1.5, QPointF(0, 1));

    // A gentle top-to-bottom gradient of the colour, lighter above.
    const QColor base = discColor();
    QLinearGradient gradient(chip.topLeft(), chip.bottomLeft());
    gradient.setColorAt(0, base.lighter(115));
    gradient.setColorAt(1, base.darker(110));
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawEllipse(chip);

    // Two wide letters shrink (down to 60 %) rather than being cut.
    QFont font = this->font();
    font.setPixelSize(8);
    font.setWeight(QFont::Black);
    const QString& initials = m_initials;
    const double room = side - 4;
    const double width = QFontMetricsF(font).horizontalAdvance(initials);
    if (width > room) {
        const double factor = std::max(0.6, room / width);
        font.setPixelSize(std::max(1, static_cast<int>(std::floor(8 * factor))));
    }
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(chip, Qt::AlignCenter | Qt::TextSingleLine, initials);

    if (m_isRestoring)
        strokeInside(p, chip, side / 2, withAlpha(Qt::white, 0.9), 1.5);
}

} // namespace corvane
