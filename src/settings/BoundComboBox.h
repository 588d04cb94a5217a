#pragma once

#include "settings/BoundKey.h"

#include <QComboBox>

namespace corvane {

// A drop-down picker bound to a choice of the store; it shows no option when the stored value is
// none of them (a hand-edited value), and choosing one writes it.
class BoundComboBox : public QComboBox {
    Q_OBJECT
public:
    template <typename T>
    BoundComboBox(Settings& settings, SettingKey<T> key, Choices<T> choices, QWidget* parent = nullptr)
        : BoundComboBox(settings, bindChoices(settings, key, std::move(choices)), parent) {}
    BoundComboBox(Settings& settings, ChoiceBinding binding, QWidget* parent = nullptr);
};

} // namespace corvane
