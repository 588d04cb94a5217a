#include "settings/BoundSpinBox.h"

#include <QSignalBlocker>

#include <algorithm>

namespace corvane {

BoundSpinBox::BoundSpinBox(Settings& settings, SettingKey<qint64> key, int minimum, int maximum, int step,
                           QWidget* parent)
    : QSpinBox(parent) {
    setObjectName(key.key());
    setRange(minimum, maximum);
    setSingleStep(step);
    followSetting(settings, key.key(), this, [this, &settings, key, minimum, maximum] {
        const QSignalBlocker blocker(this);
        setValue(static_cast<int>(std::clamp<qint64>(key.read(settings), minimum, maximum)));
    });
    connect(this, &QSpinBox::valueChanged, this, [&settings, key](int value) { key.write(settings, value); });
}

} // namespace corvane
