#include "settings/FormSection.h"

#include "core/SymbolImage.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
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

QFrame* separator() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    QPalette palette = line->palette();
    QColor colour = palette.color(QPalette::WindowText);
    colour.setAlphaF(0.1f);
    palette.setColor(QPalette::WindowText, colour);
    line->setPalette(palette);
    return line;
}

} // namespace

FormSection::FormSection(const QString& header, QWidget* parent) : QWidget(parent), m_header(header) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    if (!header.isEmpty()) {
        auto* label = new QLabel(header);
        QFont font = label->font();
        font.setPixelSize(13);
        font.setWeight(QFont::DemiBold);
        label->setFont(font);
        label->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(label);
    }
    m_box = new SectionBox;
    m_boxLayout = new QVBoxLayout(m_box);
    m_boxLayout->setContentsMargins(12, 4, 12, 4);
    m_boxLayout->setSpacing(0);
    layout->addWidget(m_box);
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
        layout->addWidget(separator());
    layout->addWidget(content);
    m_boxLayout->addWidget(row);
    ++m_rows;
    return row;
}

QLabel* captionLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(11);
    label->setFont(font);
    QPalette palette = label->palette();
    QColor colour = palette.color(QPalette::WindowText);
    colour.setAlphaF(0.6f);
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
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
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, orange);
    label->setPalette(palette);
    layout->addWidget(label, 1);
    return warning;
}

} // namespace corvane
