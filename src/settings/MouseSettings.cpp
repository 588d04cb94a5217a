#include "settings/MouseSettings.h"

#include "core/Settings.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundRow.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"
#include "system/MouseController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane {

MouseSettings::MouseSettings(Settings& settings, MouseController& mouse, QWidget* parent)
    : SettingsPage(SettingsTab::mouse, parent), m_mouse(mouse) {
    FormSection& section = *addSection(QStringLiteral("Scrolling"));

    auto* pickerRow = new QWidget;
    auto* pickerLayout = new QHBoxLayout(pickerRow);
    pickerLayout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QVBoxLayout;
    label->setSpacing(2);
    label->addWidget(new QLabel(QStringLiteral("Mouse wheel direction")));
    m_hint = captionLabel({});
    m_hint->setObjectName(QStringLiteral("touchpadHint"));
    label->addWidget(m_hint);
    pickerLayout->addLayout(label, 1);
    m_direction = new BoundComboBox(
        settings, SettingKeys::mouseScrollDirection,
        Choices<MouseScrollDirection>{
            {MouseScrollDirection::system, QStringLiteral("Same as touchpad (system setting)")},
            {MouseScrollDirection::standard, QStringLiteral("Standard — wheel up scrolls up")},
            {MouseScrollDirection::natural, QStringLiteral("Natural — content follows the wheel")},
        });
    pickerLayout->addWidget(m_direction, 0, Qt::AlignVCenter);
    section.addRow(pickerRow);

    // The mouse driver turns both directions at once: the choice is kept, but cannot split them.
    m_sideways = new BoundToggle(
        settings, SettingKeys::reverseMouseHorizontal, QStringLiteral("Apply to sideways scrolling too"),
        QStringLiteral("On Linux the mouse driver turns sideways scrolling together with "
                       "the wheel, whatever this says."));
    enableWhile(settings, section.addRow(m_sideways),
                [&settings] { return settings.mouseScrollDirection() != MouseScrollDirection::system; });

    m_unavailable =
        section.addRow(warningLabel(QStringLiteral("No mouse here can change its scroll direction.")));
    showWhile(settings, m_unavailable, [this] { return !m_mouse.isAvailable(); });

    // The touchpad's direction is read afresh whenever the page shows anything anew.
    followSettings(settings, this, [this] { refreshHint(); });
    connect(&m_mouse, &MouseController::devicesChanged, this, [this] {
        refreshHint();
        refreshBoundRows(this);
    });
}

void MouseSettings::refreshHint() {
    m_hint->setText(QStringLiteral("Only the mouse changes — your touchpad keeps its own setting (now: %1).")
                        .arg(m_mouse.touchpadScrollsNaturally() ? QStringLiteral("natural")
                                                                : QStringLiteral("standard")));
}

} // namespace corvane
