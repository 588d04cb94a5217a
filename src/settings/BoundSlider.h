#pragma once

#include "settings/BoundKey.h"

#include <QWidget>

class QSlider;

namespace corvane {

// A slider over a number key across the key's declared range, between the captions of its two
// ends; the value itself is not shown. A stored value off the range (or not a number)
// is shown at the nearer end (the lower for NaN) and left stored until the user moves the slider.
class BoundSlider : public QWidget {
    Q_OBJECT
public:
    BoundSlider(Settings& settings, SettingKey<double> key, SettingRange<double> range,
                const QString& minimumLabel, const QString& maximumLabel, QWidget* parent = nullptr);

    QSlider& slider() const { return *m_slider; }
    // The value the slider stands at.
    double value() const;
    // Moves the slider to the step nearest `value`, as a drag there would.
    void setValue(double value);

private:
    int positionOf(double value) const;

    QSlider* m_slider = nullptr;
    double m_minimum;
    double m_maximum;
    double m_step;
};

} // namespace corvane
