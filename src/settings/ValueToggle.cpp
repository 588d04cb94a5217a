#include "settings/ValueToggle.h"

#include "settings/FormSection.h"
#include "settings/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace corvane {

ValueToggle::ValueToggle(const QString& title, const QString& description, std::function<bool()> read,
                         std::function<void(bool)> write, QWidget* parent)
    : QWidget(parent), m_read(std::move(read)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* titleLabel = new QLabel(title);
    titleLabel->setTextFormat(Qt::PlainText);
    texts->addWidget(titleLabel);
    if (!description.isEmpty())
        texts->addWidget(captionLabel(description));
    layout->addLayout(texts, 1);
    m_switch = new ToggleSwitch;
    m_switch->setAccessibleName(title);
    layout->addWidget(m_switch, 0, Qt::AlignRight | Qt::AlignVCenter);
    refresh();
    connect(m_switch, &QAbstractButton::toggled, this, [this, write = std::move(write)](bool on) {
        write(on);
        refresh();
    });
}

void ValueToggle::refresh() {
    const QSignalBlocker blocker(m_switch);
    m_switch->setChecked(m_read());
}

bool ValueToggle::isOn() const {
    return m_switch->isChecked();
}

} // namespace corvane
