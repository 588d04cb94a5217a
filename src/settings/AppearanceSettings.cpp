#include "settings/AppearanceSettings.h"

#include "core/Colors.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundPicker.h"
#include "settings/BoundRow.h"
#include "settings/BoundSlider.h"
#include "settings/BoundSpinBox.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"
#include "settings/SettingsChoices.h"
#include "settings/SidebarMiniPreview.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane {

namespace Keys = SettingKeys;

namespace {

// The refresh intervals offered, in seconds, with their labels.
Choices<double> refreshIntervals() {
    return labelled(SettingRanges::refreshInterval, {"1 second", "3 seconds", "5 seconds", "10 seconds",
                                                     "30 seconds", "1 minute", "5 minutes", "10 minutes"});
}

} // namespace

AppearanceSettings::AppearanceSettings(Settings& settings, Scheduler& scheduler, QWidget* parent)
    : SettingsPage(SettingsTab::appearance, parent), m_settings(settings) {
    addSection(QStringLiteral("Look"))->addRow(makeLook(scheduler));

    FormSection& strip = *addSection(QStringLiteral("Show in the strip"));
    strip.addRow(new BoundToggle(settings, Keys::stripShowWorkspaces,
                                 QStringLiteral("Workspaces (colored circles + \u201C+\u201D)")));
    QWidget* tray = strip.addRow(new BoundToggle(settings, Keys::stripShowTray, QStringLiteral("Tray")));
    enableWhile(settings, tray, [&settings] { return settings.showTray(); });
    QWidget* folders = strip.addRow(new BoundToggle(settings, Keys::stripShowFolders,
                                                    QStringLiteral("Folders (Downloads, Desktop\u2026)")));
    enableWhile(settings, folders, [&settings] { return settings.showFiles(); });
    strip.addRow(new BoundToggle(settings, Keys::showSpaces, QStringLiteral("Desktops (1 2 3\u2026)")));
    strip.addRow(
        new BoundToggle(settings, Keys::showFooter, QStringLiteral("\u201CCorvane \u2699\u201D footer")));
    strip.addRow(
        captionLabel(QStringLiteral("Hiding Tray or Folders here only removes them from the strip \u2014 "
                                    "they stay in the Files icon's menu in the system tray.")));

    FormSection& thumbnails = *addSection(QStringLiteral("Thumbnails"));
    thumbnails.addRow(new BoundToggle(settings, Keys::showThumbnails, QStringLiteral("Live thumbnails")));
    thumbnails.addRow(QStringLiteral("Maximum windows shown"),
                      new BoundSpinBox(settings, Keys::maxVisible, SettingRanges::maxVisible));
    auto* refreshTitle = new QWidget;
    auto* refreshLines = new QVBoxLayout(refreshTitle);
    refreshLines->setContentsMargins(0, 0, 0, 0);
    refreshLines->setSpacing(2);
    refreshLines->addWidget(new QLabel(QStringLiteral("Refresh thumbnails every")));
    refreshLines->addWidget(captionLabel(
        QStringLiteral("Thumbnails also update instantly when you switch to or resize a window. Background "
                       "windows refresh 4\u00D7 slower; on battery everything is 2\u00D7 slower.")));
    auto* refreshRow = new QWidget;
    auto* refreshLayout = new QHBoxLayout(refreshRow);
    refreshLayout->setContentsMargins(0, 0, 0, 0);
    refreshLayout->addWidget(refreshTitle, 1);
    refreshLayout->addWidget(new BoundComboBox(settings, Keys::refreshInterval, refreshIntervals()), 0,
                             Qt::AlignVCenter);
    thumbnails.addRow(refreshRow);
    thumbnails.addRow(QStringLiteral("Order"),
                      new BoundComboBox(settings, Keys::ordering,
                                        Choices<WindowOrdering>{{WindowOrdering::recent, "Recently used"},
                                                                {WindowOrdering::stable, "Order opened"}}));

    FormSection& hover = *addSection(QStringLiteral("Hover"));
    hover.addRow(new BoundToggle(settings, Keys::hoverPreview, QStringLiteral("Large preview on hover")));
    QWidget* delay =
        hover.addRow(QStringLiteral("Hover delay"),
                     new BoundSlider(settings, Keys::hoverDelay, SettingRanges::hoverDelay, "0.1s", "1s"));
    showWhile(settings, delay, [&settings] { return settings.hoverPreview(); });
}

QWidget* AppearanceSettings::makeLook(Scheduler& scheduler) {
    auto* look = new QWidget;
    auto* row = new QHBoxLayout(look);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(24);
    m_preview = new SidebarMiniPreview(scheduler);
    row->addWidget(m_preview, 0, Qt::AlignTop);

    auto* controls = new QGridLayout;
    controls->setVerticalSpacing(12);
    controls->setHorizontalSpacing(12);
    const auto add = [controls](const QString& label, QWidget* control) {
        const int at = controls->rowCount();
        if (!label.isEmpty())
            controls->addWidget(new QLabel(label), at, 0);
        controls->addWidget(control, at, label.isEmpty() ? 0 : 1, 1, label.isEmpty() ? 2 : 1, Qt::AlignLeft);
    };
    add(QStringLiteral("Thumbnail size"),
        new BoundPicker(m_settings, SettingKeys::thumbnailSize,
                        Choices<ThumbnailSize>{{ThumbnailSize::small, "S"},
                                               {ThumbnailSize::medium, "M"},
                                               {ThumbnailSize::large, "L"}}));
    add(QStringLiteral("Style"), new BoundComboBox(m_settings, SettingKeys::panelStyle,
                                                   Choices<PanelStyle>{{PanelStyle::glass, "Liquid Glass"},
                                                                       {PanelStyle::frosted, "Frosted"},
                                                                       {PanelStyle::dark, "Dark"}}));
    add(QStringLiteral("Accent"), new BoundComboBox(m_settings, SettingKeys::sidebarAccent, accentChoices()));
    add(QStringLiteral("Windows shown as"),
        new BoundPicker(m_settings, SettingKeys::stripIconsOnly,
                        Choices<bool>{{false, "Live previews"}, {true, "App icons"}}));
    add(QString(),
        new BoundToggle(m_settings, SettingKeys::showTitles, QStringLiteral("Show titles under thumbnails")));
    controls->setColumnStretch(1, 1);
    controls->setRowStretch(controls->rowCount(), 1);
    row->addLayout(controls, 1);

    followSettings(m_settings, m_preview, [this] {
        m_preview->setLook(m_settings.thumbnailSize(), m_settings.showTitles(),
                           accentColor(m_settings.sidebarAccent()));
    });
    return look;
}

} // namespace corvane
