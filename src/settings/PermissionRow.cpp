#include "settings/PermissionRow.h"

#include "core/Colors.h"
#include "core/SymbolImage.h"
#include "settings/SettingsSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {
namespace {

QColor withAlpha(QColor colour, double alpha) {
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

// The row's picture: the symbol in the brand colour on a faint square of the same colour.
QPixmap badge(const QString& symbol, const QString& title, qreal ratio) {
    constexpr int side = 40;
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, side, side), 10, 10);
    painter.fillPath(shape, withAlpha(brandColor(), 0.12));
    drawSymbol(painter, QRectF(10, 10, 20, 20), symbol, brandColor(), title);
    return pixmap;
}

} // namespace

PermissionRow::PermissionRow(const QString& symbol, const QString& title, const QString& detail, bool granted,
                             std::function<void()> action, QWidget* parent)
    : QWidget(parent), m_title(title), m_granted(granted), m_action(std::move(action)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(14);

    auto* icon = new QLabel;
    icon->setPixmap(badge(symbol, title, devicePixelRatioF()));
    icon->setFixedSize(40, 40);
    layout->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new QLabel(title);
    name->setTextFormat(Qt::PlainText);
    QFont nameFont = name->font();
    nameFont.setPixelSize(14);
    nameFont.setWeight(QFont::DemiBold);
    name->setFont(nameFont);
    auto* purpose = new QLabel(detail);
    purpose->setTextFormat(Qt::PlainText);
    purpose->setWordWrap(true);
    QFont purposeFont = purpose->font();
    purposeFont.setPixelSize(12);
    purpose->setFont(purposeFont);
    QPalette secondary = purpose->palette();
    secondary.setColor(QPalette::WindowText, withAlpha(secondary.color(QPalette::WindowText), 0.6));
    purpose->setPalette(secondary);
    texts->addWidget(name);
    texts->addWidget(purpose);
    layout->addLayout(texts, 1);

    m_mark = new QLabel;
    m_mark->setObjectName(QStringLiteral("granted"));
    m_mark->setToolTip(QStringLiteral("Granted"));
    m_mark->setAccessibleName(QStringLiteral("Granted"));
    m_mark->setPixmap(
        symbolImage(QStringLiteral("checkmark.circle.fill"), QColor(52, 199, 89), 22, devicePixelRatioF()));
    m_allow = new QPushButton(QStringLiteral("Allow…"));
    m_allow->setAutoDefault(false);
    connect(m_allow, &QPushButton::clicked, this, [this] {
        if (m_action)
            m_action();
    });
    layout->addWidget(m_mark, 0, Qt::AlignVCenter);
    layout->addWidget(m_allow, 0, Qt::AlignVCenter);

    m_mark->setVisible(m_granted);
    m_allow->setVisible(!m_granted);
}

void PermissionRow::setGranted(bool granted) {
    if (granted == m_granted)
        return;
    m_granted = granted;
    m_mark->setVisible(granted);
    m_allow->setVisible(!granted);
}

void PermissionRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 14, 14);
    painter.fillPath(shape, withAlpha(palette().color(QPalette::WindowText), 0.05));
}

} // namespace corvane
