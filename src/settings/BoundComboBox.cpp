#include "settings/BoundComboBox.h"

#include <QSignalBlocker>

namespace corvane {

BoundComboBox::BoundComboBox(Settings& settings, ChoiceBinding binding, QWidget* parent) : QComboBox(parent) {
    setObjectName(binding.key);
    addItems(binding.labels);
    binding.follow(settings, this, [this, read = binding.read] {
        const QSignalBlocker blocker(this);
        setCurrentIndex(read());
    });
    connect(this, &QComboBox::currentIndexChanged, this,
            [write = binding.write](int index) { write(index); });
}

} // namespace corvane
