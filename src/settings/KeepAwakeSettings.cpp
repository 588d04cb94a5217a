#include "settings/KeepAwakeSettings.h"

#include "core/Settings.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"
#include "settings/LidPermissionRow.h"
#include "system/AwakeController.h"
#include "system/AwakeSymbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

KeepAwakeSettings::KeepAwakeSettings(Settings& settings, AwakeController& awake, QWidget* parent)
    : SettingsPage(SettingsTab::keepAwake, parent), m_settings(settings), m_awake(awake) {
    FormSection& main = *addSection(QStringLiteral("Keep Awake"));
    m_showIcon = new BoundToggle(
        settings, SettingKeys::showAwakeIcon, QStringLiteral("Show Keep Awake in the system tray"),
        QStringLiteral(
            "A cup while your computer is kept awake, zzz when it may sleep. Click it for durations "
            "and mode."));
    main.addRow(m_showIcon);

    Choices<AwakeMode> modes;
    for (const auto& [mode, raw] : EnumCases<AwakeMode>::cases)
        modes.emplace_back(mode, AwakeController::title(mode));
    m_mode = new BoundComboBox(settings, SettingKeys::awakeMode, modes);
    for (int i = 0; i < m_mode->count(); ++i)
        m_mode->setItemIcon(i, awakeMenuIcon(modeSymbol(modes[size_t(i)].first)));
    auto* modeRow = new QWidget;
    auto* modeLayout = new QVBoxLayout(modeRow);
    modeLayout->setContentsMargins(0, 0, 0, 0);
    modeLayout->setSpacing(4);
    auto* pickerLine = new QHBoxLayout;
    pickerLine->addWidget(new QLabel(QStringLiteral("Mode")), 1);
    pickerLine->addWidget(m_mode);
    modeLayout->addLayout(pickerLine);
    m_modeDescription = captionLabel({});
    m_modeDescription->setObjectName(QStringLiteral("modeDescription"));
    modeLayout->addWidget(m_modeDescription);
    main.addRow(modeRow);

    main.addRow(new LidPermissionRow(awake.canHoldLid()));
    // No "indicator next to the notch" row: no screen here has a notch.
    addStatusRow(main);
    addDurationRows(*addSection(QStringLiteral("Keep awake for")));

    followSettings(settings, this, [this] { refresh(); });
    connect(&m_awake, &AwakeController::statusChanged, this, &KeepAwakeSettings::refresh);
}

void KeepAwakeSettings::addStatusRow(FormSection& section) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("awakeStatus"));
    texts->addWidget(m_status);
    // Said when the system refused the hold against sleep: the page must not claim more than it holds.
    m_failure = captionLabel(QStringLiteral(
        "The system did not agree to keep this computer awake: no login service took the hold."));
    m_failure->setObjectName(QStringLiteral("awakeFailure"));
    texts->addWidget(m_failure);
    layout->addLayout(texts, 1);
    m_toggle = new QPushButton;
    m_toggle->setObjectName(QStringLiteral("awakeToggle"));
    m_toggle->setAutoDefault(false);
    connect(m_toggle, &QPushButton::clicked, this, [this] { m_awake.toggle(); });
    layout->addWidget(m_toggle, 0, Qt::AlignVCenter);
    section.addRow(row);
}

void KeepAwakeSettings::addDurationRows(FormSection& section) {
    for (const AwakeDuration& entry : AwakeController::durations()) {
        // The whole row takes the click.
        auto* button = new QPushButton;
        button->setObjectName(QString::fromLatin1(entry.title));
        button->setFlat(true);
        button->setMinimumHeight(22);
        button->setStyleSheet(QStringLiteral("QPushButton { border: none; text-align: left; }"));
        auto* line = new QHBoxLayout(button);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(new QLabel(QString::fromLatin1(entry.title)), 1);
        auto* check = new QLabel(QStringLiteral("✓"));
        // The row's style sheet reaches its labels, so the accent goes the same way.
        check->setStyleSheet(
            QStringLiteral("color: palette(highlight); font-weight: bold; font-size: 14px;"));
        line->addWidget(check);
        const std::optional<double> length =
            entry.indefinite ? std::nullopt : std::optional<double>(entry.seconds);
        connect(button, &QPushButton::clicked, this, [this, length] { m_awake.start(length); });
        section.addRow(button);
        m_durations.push_back({button, check});
    }
}

bool KeepAwakeSettings::isDurationChecked(size_t index) const {
    return !m_durations[index].check->isHidden();
}

void KeepAwakeSettings::refresh() {
    m_modeDescription->setText(AwakeController::description(m_settings.awakeMode()) + QLatin1Char('.'));

    const bool active = m_awake.isActive();
    m_status->setText(active ? QStringLiteral("Keeping your computer awake")
                             : QStringLiteral("Off — your computer can sleep"));
    QPalette palette = m_status->palette();
    QColor colour = palette.color(QPalette::Text);
    colour.setAlphaF(active ? 1.0f : 0.6f);
    palette.setColor(QPalette::WindowText, colour);
    m_status->setPalette(palette);
    if (m_awake.holdsScreenOnly()) {
        m_status->setText(QStringLiteral("Keeping your screen on"));
        m_failure->setText(QStringLiteral("Only the screen saver is held: no login service took the hold "
                                          "against sleep, so the computer may still go to sleep."));
    } else {
        m_failure->setText(QStringLiteral(
            "The system did not agree to keep this computer awake: no login service took the hold."));
    }
    m_failure->setVisible((!active && m_awake.couldNotHold()) || m_awake.holdsScreenOnly());
    m_toggle->setText(active ? QStringLiteral("Stop") : QStringLiteral("Keep Awake"));

    const double last = m_settings.awakeLastDuration();
    const auto& table = AwakeController::durations();
    for (size_t i = 0; i < table.size(); ++i) {
        const bool chosen = table[i].indefinite ? last == 0 : last == table[i].seconds;
        m_durations[i].check->setVisible(active && chosen);
    }
}

} // namespace corvane
