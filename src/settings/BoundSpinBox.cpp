#include "settings/BoundSpinBox.h"

#include <QSignalBlocker>

namespace corvane {

BoundSpinBox::BoundSpinBox(Settings& settings, SettingKey<qint64> key, SettingRange<qint64> range,
                           QWidget* parent)
    : QSpinBox(parent) {
    setObjectName(key.key());
    setRange(static_cast<int>(range.minimum), static_cast<int>(range.maximum));
    setSingleStep(static_cast<int>(range.step));
    followSetting(settings, key, this, [this, &settings, key, range] {
        const QSignalBlocker blocker(this);
        setValue(static_cast<int>(range.bound(key.read(settings))));
    });
    connect(this, &QSpinBox::valueChanged, this, [&settings, key](int value) { key.write(settings, value); });
}

} // namespace corvane
