#include "settings/KeepAwakeSettings.h"

#include "core/Settings.h"
#include "settings/CaptionLabel.h"
#include "settings/FormSection.h"
#include "settings/LidPermissionRow.h"
#include "system/AwakeController.h"
#include "system/AwakeSymbols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace corvane {

namespace {

// A switch whose label is a title with a smaller description under it.
QCheckBox* addDescribedToggle(FormSection& section, const QString& key, const QString& title,
                              const QString& description) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(new QLabel(title));
    text->addWidget(captionLabel(description));
    layout->addLayout(text, 1);
    auto* toggle = new QCheckBox;
    toggle->setObjectName(key);
    toggle->setAccessibleName(title);
    layout->addWidget(toggle, 0, Qt::AlignRight | Qt::AlignVCenter);
    section.addRow(row);
    return toggle;
}

} // namespace

KeepAwakeSettings::KeepAwakeSettings(Settings& settings, AwakeController& awake, QWidget* parent)
    : SettingsPage(SettingsTab::keepAwake, parent), m_settings(settings), m_awake(awake) {
    FormSection& main = *addSection(QStringLiteral("Keep Awake"));
    m_showIcon = addDescribedToggle(
        main, QStringLiteral("showAwakeIcon"), QStringLiteral("Show Keep Awake in the menu bar"),
        QStringLiteral(
            "A cup while your computer is kept awake, zzz when it may sleep. Click it for durations "
            "and mode."));
    connect(m_showIcon, &QCheckBox::toggled, this, [this](bool on) { m_settings.setShowAwakeIcon(on); });

    auto* modeRow = new QWidget;
    auto* modeLayout = new QVBoxLayout(modeRow);
    modeLayout->setContentsMargins(0, 0, 0, 0);
    modeLayout->setSpacing(4);
    auto* pickerLine = new QHBoxLayout;
    pickerLine->addWidget(new QLabel(QStringLiteral("Mode")), 1);
    m_mode = new QComboBox;
    m_mode->setObjectName(QStringLiteral("awakeMode"));
    for (const auto& [mode, raw] : EnumCases<AwakeMode>::cases)
        m_mode->addItem(awakeMenuIcon(modeSymbol(mode)), AwakeController::title(mode),
                        QString::fromLatin1(raw.data(), qsizetype(raw.size())));
    connect(m_mode, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.setAwakeMode(EnumCases<AwakeMode>::cases[size_t(index)].first); });
    pickerLine->addWidget(m_mode);
    modeLayout->addLayout(pickerLine);
    m_modeDescription = captionLabel({});
    m_modeDescription->setObjectName(QStringLiteral("modeDescription"));
    modeLayout->addWidget(m_modeDescription);
    main.addRow(modeRow);

    m_lidRow = new LidPermissionRow;
    main.addRow(m_lidRow);

    m_indicator = addDescribedToggle(main, QStringLiteral("notchAwakeIndicator"),
                                     QStringLiteral("Keep Awake indicator next to the notch"),
                                     QStringLiteral("A small cup with a ring that shows the time left."));
    connect(m_indicator, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setNotchAwakeIndicator(on); });

    auto* statusRow = new QWidget;
    auto* statusLayout = new QHBoxLayout(statusRow);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    auto* statusText = new QVBoxLayout;
    statusText->setSpacing(2);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("awakeStatus"));
    statusText->addWidget(m_status);
    m_failure = captionLabel(QStringLiteral(
        "The system did not agree to keep this computer awake: no login service took the hold."));
    m_failure->setObjectName(QStringLiteral("awakeFailure"));
    statusText->addWidget(m_failure);
    statusLayout->addLayout(statusText, 1);
    m_toggle = new QPushButton;
    m_toggle->setObjectName(QStringLiteral("awakeToggle"));
    m_toggle->setAutoDefault(false);
    connect(m_toggle, &QPushButton::clicked, this, [this] { m_awake.toggle(); });
    statusLayout->addWidget(m_toggle, 0, Qt::AlignVCenter);
    main.addRow(statusRow);

    FormSection& lengths = *addSection(QStringLiteral("Keep awake for"));
    for (const AwakeDuration& entry : AwakeController::durations()) {
        auto* button = new QPushButton;
        button->setObjectName(QString::fromLatin1(entry.title));
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setMinimumHeight(24);
        auto* line = new QHBoxLayout(button);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(new QLabel(QString::fromLatin1(entry.title)), 1);
        auto* check = new QLabel(QStringLiteral("✓"));
        QPalette accent = check->palette();
        accent.setColor(QPalette::WindowText, accent.color(QPalette::Highlight));
        check->setPalette(accent);
        line->addWidget(check);
        const std::optional<double> length =
            entry.indefinite ? std::nullopt : std::optional<double>(entry.seconds);
        connect(button, &QPushButton::clicked, this, [this, length] { m_awake.start(length); });
        lengths.addRow(button);
        m_durations.push_back({button, check});
    }

    connect(&m_settings, &Settings::changed, this, [this](const QString& key) {
        if (key == QLatin1String("showAwakeIcon") || key == QLatin1String("awakeMode") ||
            key == QLatin1String("notchAwakeIndicator") || key == QLatin1String("awakeLastDuration"))
            refresh();
    });
    connect(&m_awake, &AwakeController::statusChanged, this, &KeepAwakeSettings::refresh);
    refresh();
}

bool KeepAwakeSettings::isDurationChecked(size_t index) const {
    return !m_durations[index].check->isHidden();
}

void KeepAwakeSettings::refresh() {
    // Controls are set with their signals blocked, so showing a value never stores it again.
    {
        const QSignalBlocker blockIcon(m_showIcon);
        const QSignalBlocker blockMode(m_mode);
        const QSignalBlocker blockIndicator(m_indicator);
        m_showIcon->setChecked(m_settings.showAwakeIcon());
        m_mode->setCurrentIndex(int(m_settings.awakeMode()));
        m_indicator->setChecked(m_settings.notchAwakeIndicator());
    }
    m_modeDescription->setText(AwakeController::description(m_settings.awakeMode()) + QLatin1Char('.'));

    const bool active = m_awake.isActive();
    m_status->setText(active ? QStringLiteral("Keeping your computer awake")
                             : QStringLiteral("Off — your computer can sleep"));
    QPalette palette = m_status->palette();
    QColor colour = palette.color(QPalette::Text);
    colour.setAlphaF(active ? 1.0f : 0.6f);
    palette.setColor(QPalette::WindowText, colour);
    m_status->setPalette(palette);
    m_failure->setVisible(!active && m_awake.couldNotHold());
    m_toggle->setText(active ? QStringLiteral("Stop") : QStringLiteral("Keep Awake"));

    const double last = m_settings.awakeLastDuration();
    const auto& table = AwakeController::durations();
    for (size_t i = 0; i < table.size(); ++i) {
        const bool chosen = table[i].indefinite ? last == 0 : last == table[i].seconds;
        m_durations[i].check->setVisible(active && chosen);
    }
}

} // namespace corvane
