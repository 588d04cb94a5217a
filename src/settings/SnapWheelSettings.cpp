#include "settings/SnapWheelSettings.h"

#include "core/Colors.h"
#include "core/PermissionManager.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundRow.h"
#include "settings/BoundSlider.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"
#include "settings/SettingsChoices.h"
#include "settings/SnapWheelLabels.h"
#include "snapping/RadialRingView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane {

namespace Keys = SettingKeys;

SnapWheelSettings::SnapWheelSettings(Settings& settings, Scheduler& scheduler, PermissionManager& permissions,
                                     QWidget* parent)
    : SettingsPage(SettingsTab::snapWheel, parent), m_settings(settings), m_demo(scheduler) {
    FormSection& top = *addSection();
    top.addRow(makeDemonstration());
    top.addRow(new BoundToggle(settings, Keys::radialEnabled, QStringLiteral("Enable snap wheel")));
    m_permissionWarning =
        top.addRow(warningLabel(QStringLiteral("Needs a window manager that follows EWMH.")));
    showWhile(settings, m_permissionWarning, [&permissions] { return !permissions.accessibilityGranted(); });
    connect(&permissions, &PermissionManager::accessibilityGrantedChanged, this,
            [this] { refreshBoundRows(this); });

    FormSection& behaviour = *addSection(QStringLiteral("Behaviour"));
    behaviour.addRow(QStringLiteral("Trigger key"),
                     new BoundComboBox(settings, Keys::radialTrigger, triggerChoices()));
    behaviour.addRow(
        QStringLiteral("Hold before showing"),
        new BoundSlider(settings, Keys::radialHoldDelay, SettingRanges::radialHoldDelay, "0.05s", "0.5s"));
    behaviour.addRow(QStringLiteral("Middle of the wheel"),
                     new BoundComboBox(settings, Keys::radialCenterAction, centerActionChoices()));
    behaviour.addRow(
        QStringLiteral("Moves"),
        new BoundComboBox(settings, Keys::radialTarget,
                          Choices<RadialTarget>{{RadialTarget::focused, "Focused window"},
                                                {RadialTarget::underCursor, "Window under the cursor"}}));

    FormSection& feedback = *addSection(QStringLiteral("Feedback"));
    feedback.addRow(new BoundToggle(settings, Keys::radialShowPreview,
                                    QStringLiteral("Show where the window will land")));
    // No haptic row: no pointer here can give a tick. The stored choice stays as it is.
    feedback.addRow(QStringLiteral("Color"),
                    new BoundComboBox(settings, Keys::radialAccent, accentChoices()));

    followSetting(settings, Keys::radialAccent, this,
                  [this] { m_demo.model().setAccent(accentColor(m_settings.radialAccent())); });
    followSettings(settings, this, [this] { explain(); });
}

QWidget* SnapWheelSettings::makeDemonstration() {
    auto* demonstration = new QWidget;
    auto* row = new QHBoxLayout(demonstration);
    row->setContentsMargins(0, 4, 0, 4);
    row->setSpacing(20);
    auto* ring = new RadialRingView(m_demo.model(), m_demo.scheduler());
    ring->setFixedSize(RadialRingView::side, RadialRingView::side);
    row->addWidget(ring, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    m_headline = new QLabel;
    m_headline->setTextFormat(Qt::PlainText);
    QFont font = m_headline->font();
    font.setPixelSize(15);
    font.setWeight(QFont::DemiBold);
    m_headline->setFont(font);
    texts->addWidget(m_headline);
    m_explanation = secondaryLabel(QString(), 12);
    texts->addWidget(m_explanation);
    texts->addStretch(1);
    auto* column = new QWidget;
    column->setLayout(texts);
    row->addWidget(column, 1, Qt::AlignVCenter);
    return demonstration;
}

void SnapWheelSettings::explain() {
    m_headline->setText(
        QStringLiteral("Hold %1 and move the mouse").arg(triggerKeyName(m_settings.radialTrigger())));
    m_explanation->setText(
        QStringLiteral(
            "Pick a direction on the wheel and let go \u2014 the window snaps there. Edges give halves, "
            "corners give quarters, staying in the middle gives %1. Press Esc to cancel.")
            .arg(centerActionLabel(m_settings.radialCenterAction()).toLower()));
}

void SnapWheelSettings::showEvent(QShowEvent* event) {
    SettingsPage::showEvent(event);
    m_demo.start(accentColor(m_settings.radialAccent()));
}

void SnapWheelSettings::hideEvent(QHideEvent* event) {
    SettingsPage::hideEvent(event);
    m_demo.stop();
}

} // namespace corvane
