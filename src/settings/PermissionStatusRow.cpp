#include "settings/PermissionStatusRow.h"

#include "core/SymbolImage.h"
#include "settings/FormSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

PermissionStatusRow::PermissionStatusRow(const QString& title, const QString& detail, bool granted,
                                         std::function<void()> action, QWidget* parent)
    : QWidget(parent), m_title(title), m_granted(granted), m_action(std::move(action)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setFixedSize(22, 22);
    m_status->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_status, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(title);
    name->setTextFormat(Qt::PlainText);
    QFont nameFont = name->font();
    nameFont.setPixelSize(13);
    nameFont.setWeight(QFont::DemiBold);
    name->setFont(nameFont);
    texts->addWidget(name);
    texts->addWidget(captionLabel(detail));
    layout->addLayout(texts, 1);

    m_allow = new QPushButton(QStringLiteral("Allow…"));
    m_allow->setAutoDefault(false);
    connect(m_allow, &QPushButton::clicked, this, [this] {
        if (m_action)
            m_action();
    });
    layout->addWidget(m_allow, 0, Qt::AlignVCenter);
    showStatus();
}

QString PermissionStatusRow::statusSymbol() const {
    return m_granted ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("xmark.circle.fill");
}

void PermissionStatusRow::setGranted(bool granted) {
    if (granted == m_granted)
        return;
    m_granted = granted;
    showStatus();
}

void PermissionStatusRow::showStatus() {
    const QColor tint = m_granted ? QColor(52, 199, 89) : QColor(255, 59, 48);
    m_status->setPixmap(symbolImage(statusSymbol(), tint, 18, devicePixelRatioF()));
    const QString said = m_granted ? QStringLiteral("Granted") : QStringLiteral("Not granted");
    m_status->setToolTip(said);
    m_status->setAccessibleName(said);
    m_allow->setVisible(!m_granted);
}

} // namespace corvane
