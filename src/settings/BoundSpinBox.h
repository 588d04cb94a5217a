#pragma once

#include "settings/BoundKey.h"

#include <QSpinBox>

namespace corvane {

// A stepper over a whole-number key, from `minimum` to `maximum` by `step`. A stored value outside
// the range is shown at the nearer end but left stored as it is until the user steps.
class BoundSpinBox : public QSpinBox {
    Q_OBJECT
public:
    BoundSpinBox(Settings& settings, SettingKey<qint64> key, int minimum, int maximum, int step = 1,
                 QWidget* parent = nullptr);
};

} // namespace corvane
