#include "settings/BoundSlider.h"

#include "settings/FormSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <cmath>

namespace corvane {

BoundSlider::BoundSlider(Settings& settings, SettingKey<double> key, SettingRange<double> range,
                         const QString& minimumLabel, const QString& maximumLabel, QWidget* parent)
    : QWidget(parent), m_minimum(range.minimum), m_maximum(range.maximum),
      m_step(range.step > 0 ? range.step : 1) {
    setObjectName(key.key());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(captionLabel(minimumLabel));
    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setRange(0, positionOf(m_maximum));
    m_slider->setMinimumWidth(180);
    layout->addWidget(m_slider, 1);
    layout->addWidget(captionLabel(maximumLabel));

    followSetting(settings, key, this, [this, &settings, key] {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(positionOf(key.read(settings)));
    });
    connect(m_slider, &QSlider::valueChanged, this, [this, &settings, key] { key.write(settings, value()); });
}

double BoundSlider::value() const {
    return m_minimum + m_slider->value() * m_step;
}

void BoundSlider::setValue(double value) {
    m_slider->setValue(positionOf(value));
}

int BoundSlider::positionOf(double value) const {
    if (!(value > m_minimum))
        return 0;
    if (value >= m_maximum)
        return static_cast<int>(std::lround((m_maximum - m_minimum) / m_step));
    return static_cast<int>(std::lround((value - m_minimum) / m_step));
}

} // namespace corvane
