#include "settings/MouseSettings.h"

#include "core/Settings.h"
#include "settings/CaptionLabel.h"
#include "settings/FormSection.h"
#include "system/MouseController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace corvane {

MouseSettings::MouseSettings(Settings& settings, MouseController& mouse, QWidget* parent)
    : SettingsPage(SettingsTab::mouse, parent), m_settings(settings), m_mouse(mouse) {
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
    m_direction = new QComboBox;
    m_direction->setObjectName(QStringLiteral("mouseScrollDirection"));
    m_direction->addItem(QStringLiteral("Same as touchpad (system setting)"));
    m_direction->addItem(QStringLiteral("Standard — wheel up scrolls up"));
    m_direction->addItem(QStringLiteral("Natural — content follows the wheel"));
    connect(m_direction, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_settings.setMouseScrollDirection(EnumCases<MouseScrollDirection>::cases[size_t(index)].first);
    });
    pickerLayout->addWidget(m_direction, 0, Qt::AlignVCenter);
    section.addRow(pickerRow);

    auto* sidewaysRow = new QWidget;
    auto* sidewaysLayout = new QVBoxLayout(sidewaysRow);
    sidewaysLayout->setContentsMargins(0, 0, 0, 0);
    sidewaysLayout->setSpacing(2);
    m_sideways = new QCheckBox(QStringLiteral("Apply to sideways scrolling too"));
    m_sideways->setObjectName(QStringLiteral("reverseMouseHorizontal"));
    connect(m_sideways, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setReverseMouseHorizontal(on); });
    sidewaysLayout->addWidget(m_sideways);
    // The mouse driver turns both directions at once: the choice is kept, but cannot split them.
    sidewaysLayout->addWidget(captionLabel(
        QStringLiteral("On Linux the mouse driver turns sideways scrolling together with the wheel, whatever "
                       "this says.")));
    section.addRow(sidewaysRow);

    m_unavailable =
        new QLabel(QStringLiteral("⚠ No mouse here lets its scroll direction be set, so the wheel "
                                  "keeps scrolling as it does."));
    m_unavailable->setObjectName(QStringLiteral("mouseUnavailable"));
    m_unavailable->setWordWrap(true);
    QPalette orange = m_unavailable->palette();
    orange.setColor(QPalette::WindowText, QColor(255, 149, 0));
    m_unavailable->setPalette(orange);
    // A section of its own, so that hiding it leaves no empty row behind.
    m_unavailableSection = addSection();
    m_unavailableSection->addRow(m_unavailable);

    connect(&m_settings, &Settings::changed, this, [this](const QString& key) {
        if (key == QLatin1String("mouseScrollDirection") || key == QLatin1String("reverseMouseHorizontal"))
            refresh();
    });
    connect(&m_mouse, &MouseController::devicesChanged, this, &MouseSettings::refresh);
    refresh();
}

void MouseSettings::refresh() {
    const MouseScrollDirection direction = m_settings.mouseScrollDirection();
    {
        const QSignalBlocker blockDirection(m_direction);
        const QSignalBlocker blockSideways(m_sideways);
        m_direction->setCurrentIndex(int(direction));
        m_sideways->setChecked(m_settings.reverseMouseHorizontal());
    }
    m_sideways->setEnabled(direction != MouseScrollDirection::system);
    m_hint->setText(QStringLiteral("Only the mouse changes — your touchpad keeps its own setting (now: %1).")
                        .arg(m_mouse.touchpadScrollsNaturally() ? QStringLiteral("natural")
                                                                : QStringLiteral("standard")));
    m_unavailableSection->setVisible(!m_mouse.isAvailable());
}

} // namespace corvane
