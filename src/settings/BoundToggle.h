#pragma once

#include "settings/BoundKey.h"

#include <QWidget>

class QAbstractButton;
class QLabel;

namespace corvane {

// A switch bound to a flag of the store, with its title and an optional smaller description line
// beneath it; a whole row of a form section. It shows the stored value (also while disabled) and
// writes each flip at once.
class BoundToggle : public QWidget {
    Q_OBJECT
public:
    BoundToggle(Settings& settings, SettingKey<bool> key, const QString& title,
                const QString& description = {}, QWidget* parent = nullptr);

    QAbstractButton& button() const { return *m_switch; }
    bool isOn() const;
    QLabel& titleLabel() const { return *m_title; }
    // Null without a description.
    QLabel* descriptionLabel() const { return m_description; }

private:
    QAbstractButton* m_switch = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_description = nullptr;
};

} // namespace corvane
