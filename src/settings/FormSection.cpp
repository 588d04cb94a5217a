#include "settings/FormSection.h"

#include "core/Colors.h"
#include "core/SymbolImage.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane {
namespace {

// The rounded box the rows sit in, a shade off the page's own background.
class SectionBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        QColor fill = palette().color(QPalette::Base);
        QColor border = palette().color(QPalette::WindowText);
        border.setAlphaF(0.1f);
        painter.fillPath(shape, fill);
        painter.setPen(QPen(border, 1));
        painter.drawPath(shape);
    }
};

// Draws the widget's text in its text colour at `alpha`.
void fadeText(QWidget& widget, float alpha) {
    QPalette palette = widget.palette();
    QColor colour = palette.color(QPalette::WindowText);
    colour.setAlphaF(alpha);
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

} // namespace

FormSection::FormSection(const QString& header, QWidget* parent) : QWidget(parent), m_header(header) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    if (!header.isEmpty()) {
        m_headerLabel = new QLabel(header);
        QFont font = m_headerLabel->font();
        font.setPixelSize(13);
        font.setWeight(QFont::DemiBold);
        m_headerLabel->setFont(font);
        m_headerLabel->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(m_headerLabel);
    }
    m_box = new SectionBox;
    m_boxLayout = new QVBoxLayout(m_box);
    m_boxLayout->setContentsMargins(12, 4, 12, 4);
    m_boxLayout->setSpacing(0);
    layout->addWidget(m_box);
}

void FormSection::setHeader(const QString& header) {
    m_header = header;
    if (m_headerLabel)
        m_headerLabel->setText(header);
}

QWidget* FormSection::addRow(const QString& label, QWidget* control) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 6);
    auto* text = new QLabel(label);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text, 1);
    layout->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
    return addRowWidget(row);
}

QWidget* FormSection::addRow(QWidget* content) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 6, 0, 6);
    layout->addWidget(content);
    return addRowWidget(row);
}

QWidget* FormSection::addRowWidget(QWidget* content) {
    auto* row = new QWidget;
    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (m_rows > 0)
        layout->addWidget(divider(Qt::Horizontal));
    layout->addWidget(content);
    m_boxLayout->addWidget(row);
    ++m_rows;
    return row;
}

QLabel* secondaryLabel(const QString& text, int pixelSize) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    fadeText(*label, 0.6f);
    return label;
}

QLabel* captionLabel(const QString& text) {
    return secondaryLabel(text, 11);
}

QFrame* divider(Qt::Orientation orientation) {
    auto* line = new QFrame;
    line->setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    if (orientation == Qt::Horizontal)
        line->setFixedHeight(1);
    else
        line->setFixedWidth(1);
    fadeText(*line, 0.1f);
    return line;
}

QPushButton* prominentButton(const QString& text) {
    auto* button = new QPushButton(text);
    const QColor brand = brandColor();
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 5px;"
                       " padding: 4px 12px; }"
                       "QPushButton:pressed { background: %2; }"
                       "QPushButton:disabled { background: %3; }")
            .arg(brand.name(), brand.darker(120).name(), brand.lighter(150).name()));
    return button;
}

QToolButton* symbolButton(const QString& symbol, const QColor& tint, int side, const QString& tip) {
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setIcon(QIcon(symbolImage(symbol, tint, side, 2.0)));
    button->setIconSize(QSize(side, side));
    button->setToolTip(tip);
    button->setAccessibleName(tip.isEmpty() ? symbol : tip);
    return button;
}

QWidget* warningLabel(const QString& text) {
    const QColor orange(255, 149, 0);
    auto* warning = new QWidget;
    auto* layout = new QHBoxLayout(warning);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* sign = new QLabel;
    sign->setPixmap(symbolImage(QStringLiteral("exclamationmark.triangle.fill"), orange, 14,
                                warning->devicePixelRatioF()));
    layout->addWidget(sign);
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    // Unwrapped, a long warning would widen the whole page past the window and push every
    // control off its right edge.
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, orange);
    label->setPalette(palette);
    layout->addWidget(label, 1);
    return warning;
}

} // namespace corvane
