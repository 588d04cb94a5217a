#pragma once

#include "settings/BoundKey.h"

#include <QWidget>

class QAbstractButton;
class QButtonGroup;

namespace corvane {

// A segmented picker bound to a choice of the store: one button per option side by side, the
// stored one pressed (none when the stored value is none of them); pressing another writes it.
class BoundPicker : public QWidget {
    Q_OBJECT
public:
    template <typename T>
    BoundPicker(Settings& settings, SettingKey<T> key, Choices<T> choices, QWidget* parent = nullptr)
        : BoundPicker(settings, bindChoices(settings, key, std::move(choices)), parent) {}
    BoundPicker(Settings& settings, ChoiceBinding binding, QWidget* parent = nullptr);

    int count() const;
    // -1 when none is pressed.
    int currentIndex() const;
    QAbstractButton* button(int index) const;

private:
    QButtonGroup* m_group = nullptr;
};

} // namespace corvane
