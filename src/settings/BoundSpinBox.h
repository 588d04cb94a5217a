#pragma once

#include "settings/BoundKey.h"

#include <QSpinBox>

namespace corvane {

// A stepper over a whole-number key across the key's declared range. A stored value outside the
// range is shown at the nearer end but left stored as it is until the user steps.
class BoundSpinBox : public QSpinBox {
    Q_OBJECT
public:
    BoundSpinBox(Settings& settings, SettingKey<qint64> key, SettingRange<qint64> range,
                 QWidget* parent = nullptr);
};

} // namespace corvane
