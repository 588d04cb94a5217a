#include "settings/BoundPicker.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QToolButton>

namespace corvane {

BoundPicker::BoundPicker(Settings& settings, ChoiceBinding binding, QWidget* parent) : QWidget(parent) {
    setObjectName(binding.key);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < binding.labels.size(); ++i) {
        auto* segment = new QToolButton;
        segment->setText(binding.labels[i]);
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        segment->setMinimumWidth(34);
        m_group->addButton(segment, i);
        layout->addWidget(segment);
    }
    binding.follow(settings, this, [this, read = binding.read] {
        const QSignalBlocker blocker(m_group);
        const int index = read();
        // An exclusive group cannot show no choice: lift exclusivity to clear it.
        m_group->setExclusive(false);
        for (QAbstractButton* segment : m_group->buttons())
            segment->setChecked(m_group->id(segment) == index);
        m_group->setExclusive(true);
    });
    connect(m_group, &QButtonGroup::idClicked, this, [write = binding.write](int index) { write(index); });
}

int BoundPicker::count() const {
    return static_cast<int>(m_group->buttons().size());
}

int BoundPicker::currentIndex() const {
    return m_group->checkedId();
}

QAbstractButton* BoundPicker::button(int index) const {
    return m_group->button(index);
}

} // namespace corvane
