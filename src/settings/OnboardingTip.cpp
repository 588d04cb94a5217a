#include "settings/OnboardingTip.h"

#include "core/SymbolImage.h"
#include "settings/SettingsSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace corvane {

OnboardingTip::OnboardingTip(const QString& symbol, const QString& text, const QString& buttonTitle,
                             std::function<void()> action, QWidget* parent)
    : QWidget(parent), m_text(text) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    constexpr int side = 16;
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(QSize(side, side) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        // A tip is a caution: where the named picture is not in the product's set, the warning sign is.
        const QString shown =
            isKnownSymbol(symbol) ? symbol : QStringLiteral("exclamationmark.triangle.fill");
        drawSymbol(painter, QRectF(0, 0, side, side), shown, QColor(255, 149, 0), text);
    }
    auto* icon = new QLabel;
    icon->setPixmap(picture);
    layout->addWidget(icon);

    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(12);
    label->setFont(font);
    QPalette secondary = label->palette();
    QColor colour = secondary.color(QPalette::WindowText);
    colour.setAlphaF(0.6f);
    secondary.setColor(QPalette::WindowText, colour);
    label->setPalette(secondary);
    layout->addWidget(label, 1);

    m_button = new QPushButton(buttonTitle);
    m_button->setAutoDefault(false);
    QFont small = m_button->font();
    small.setPixelSize(11);
    m_button->setFont(small);
    connect(m_button, &QPushButton::clicked, this, [action = std::move(action)] {
        if (action)
            action();
    });
    layout->addWidget(m_button);
}

} // namespace corvane
