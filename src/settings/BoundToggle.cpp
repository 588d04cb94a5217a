#include "settings/BoundToggle.h"

#include "settings/FormSection.h"
#include "settings/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace corvane {

BoundToggle::BoundToggle(Settings& settings, SettingKey<bool> key, const QString& title,
                         const QString& description, QWidget* parent)
    : QWidget(parent) {
    setObjectName(key.key());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_title = new QLabel(title);
    m_title->setTextFormat(Qt::PlainText);
    texts->addWidget(m_title);
    if (!description.isEmpty()) {
        m_description = captionLabel(description);
        texts->addWidget(m_description);
    }
    layout->addLayout(texts, 1);
    m_switch = new ToggleSwitch;
    m_switch->setAccessibleName(title);
    layout->addWidget(m_switch, 0, Qt::AlignRight | Qt::AlignVCenter);

    followSetting(settings, key, this, [this, &settings, key] {
        const QSignalBlocker blocker(m_switch);
        m_switch->setChecked(key.read(settings));
    });
    connect(m_switch, &QAbstractButton::toggled, this,
            [&settings, key](bool on) { key.write(settings, on); });
}

bool BoundToggle::isOn() const {
    return m_switch->isChecked();
}

} // namespace corvane
