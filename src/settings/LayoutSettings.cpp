#include "settings/LayoutSettings.h"

#include "settings/BoundComboBox.h"
#include "settings/BoundSlider.h"
#include "settings/BoundToggle.h"
#include "settings/CaptionNumber.h"
#include "settings/FormSection.h"
#include "settings/LayoutPresetCard.h"
#include "settings/LayoutThumbnail.h"
#include "settings/SettingsActions.h"
#include "settings/SettingsChoices.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace corvane {

namespace Keys = SettingKeys;

namespace {

QIcon presetIcon(LayoutPreset preset, const QColor& text, qreal ratio) {
    QPixmap picture(
        QSize(static_cast<int>(LayoutThumbnail::width), static_cast<int>(LayoutThumbnail::height)) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    LayoutThumbnail::draw(painter, QPointF(0, 0), preset, 3, text);
    return QIcon(picture);
}

} // namespace

LayoutSettings::LayoutSettings(Settings& settings, SettingsActions& actions, QWidget* parent)
    : SettingsPage(SettingsTab::layouts, parent), m_settings(settings), m_actions(actions) {
    FormSection& snapping = *addSection(QStringLiteral("Snapping"));
    auto* gap = new QWidget;
    auto* gapColumn = new QVBoxLayout(gap);
    gapColumn->setContentsMargins(0, 0, 0, 0);
    gapColumn->setSpacing(2);
    gapColumn->addWidget(new BoundSlider(settings, Keys::layoutGap, SettingRanges::layoutGap, "0", "24"));
    m_gapCaption = captionLabel(QString());
    gapColumn->addWidget(m_gapCaption, 0, Qt::AlignRight);
    snapping.addRow(QStringLiteral("Gap between windows"), gap);
    followSetting(settings, Keys::layoutGap, m_gapCaption, [this] {
        m_gapCaption->setText(wholeNumberCaption(m_settings.layoutGap(), QStringLiteral(" px")));
    });
    snapping.addRow(new BoundToggle(
        settings, Keys::cycleSnapSizes, QStringLiteral("Cycle sizes on repeat"),
        QStringLiteral("Pressing left/right again goes \u00BD \u2192 \u2154 \u2192 \u2153.")));
    snapping.addRow(new BoundToggle(
        settings, Keys::reserveSidebarSpace, QStringLiteral("Keep windows clear of the sidebar"),
        QStringLiteral("Snapping, tiling and workspaces leave room for the pinned strip.")));

    FormSection& layouts = *addSection(QStringLiteral("Layouts"));
    auto* preset = new BoundComboBox(settings, Keys::quickTilePreset, layoutPresetChoices());
    preset->setIconSize(QSize(32, 20));
    for (int i = 0; i < preset->count(); ++i)
        preset->setItemIcon(i, presetIcon(EnumCases<LayoutPreset>::cases[static_cast<size_t>(i)].first,
                                          palette().color(QPalette::WindowText), devicePixelRatioF()));
    layouts.addRow(QStringLiteral("\u201CTile visible windows\u201D uses"), preset);
    layouts.addRow(makeCards());
    layouts.addRow(captionLabel(
        QStringLiteral("Click a layout to apply it now to the windows on the display under your mouse.")));
}

QWidget* LayoutSettings::makeCards() {
    auto* grid = new AdaptiveGrid(120, 12);
    for (const auto& [preset, raw] : EnumCases<LayoutPreset>::cases) {
        auto* card = new LayoutPresetCard(preset);
        connect(card, &QAbstractButton::clicked, this,
                [this, preset = preset] { m_actions.applyLayout(preset); });
        grid->addWidget(card);
        m_cards.push_back(card);
    }
    return grid;
}

} // namespace corvane
