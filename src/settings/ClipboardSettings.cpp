#include "settings/ClipboardSettings.h"

#include "ShortcutKit/AppShortcuts.h"
#include "ShortcutKit/Recorder.h"
#include "ShortcutKit/RecorderServices.h"
#include "ShortcutKit/ShortcutNotifications.h"
#include "clipboard/ClipboardHistory.h"
#include "settings/BoundComboBox.h"
#include "settings/BoundRow.h"
#include "settings/BoundSpinBox.h"
#include "settings/BoundToggle.h"
#include "settings/FormSection.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace corvane {

namespace Keys = SettingKeys;

QString clipboardFolderForDisplay() {
    QString folder = ClipboardStore::defaultDirectory();
    const QString home = QDir::homePath();
    if (folder.startsWith(home + QLatin1Char('/')))
        folder = QStringLiteral("~") + folder.mid(home.size());
    return folder;
}

ClipboardSettings::ClipboardSettings(Settings& settings, ClipboardHistory& history,
                                     const ShortcutKit::RecorderServices& recorders,
                                     std::function<std::optional<QString>()> shortcutText,
                                     std::function<void()> openStrip, QWidget* parent)
    : SettingsPage(SettingsTab::clipboard, parent), m_history(history),
      m_shortcutText(std::move(shortcutText)) {
    FormSection& section = *addSection(QStringLiteral("Clipboard"));
    auto* enabled =
        new BoundToggle(settings, Keys::clipboardEnabled, QStringLiteral("Clipboard history"), description());
    section.addRow(enabled);
    // A shortcut recorded here or on the Hotkeys page shows in the description at once.
    QPointer<BoundToggle> toggle(enabled);
    m_shortcutObserver = recorders.notifications.addObserver(
        ShortcutKit::shortcutByNameDidChange, [this, toggle](const Notification& note) {
            const std::optional<ShortcutKit::Name> name = ShortcutKit::shortcutName(note);
            if (toggle && toggle->descriptionLabel() && name &&
                name->rawValue == AppShortcuts::clipboardHistory().rawValue)
                toggle->descriptionLabel()->setText(description());
        });

    const auto whileOn = [&settings] { return settings.clipboardEnabled(); };
    const auto onlyWhileOn = [&](QWidget* row) { showWhile(settings, row, whileOn); };
    onlyWhileOn(section.addRow(new BoundToggle(settings, Keys::showClipboardIcon,
                                               QStringLiteral("Show clipboard icon in the system tray"))));
    onlyWhileOn(section.addRow(QStringLiteral("Shortcut"),
                               new ShortcutKit::Recorder(recorders, AppShortcuts::clipboardHistory())));
    onlyWhileOn(section.addRow(new BoundToggle(settings, Keys::clipboardPasteDirectly,
                                               QStringLiteral("Paste directly when choosing an item"))));
    const Choices<qint64> retention =
        labelled(SettingRanges::clipboardRetentionDays,
                 {QStringLiteral("While Corvane runs (kept across updates)"), QStringLiteral("1 day"),
                  QStringLiteral("3 days"), QStringLiteral("5 days"), QStringLiteral("10 days"),
                  QStringLiteral("30 days")});
    onlyWhileOn(section.addRow(QStringLiteral("Keep history"),
                               new BoundComboBox(settings, Keys::clipboardRetentionDays, retention)));
    showWhile(
        settings,
        section.addRow(captionLabel(QStringLiteral("Saved privately in ") + clipboardFolderForDisplay() +
                                    QStringLiteral(" and cleaned up automatically."))),
        [&settings] { return settings.clipboardEnabled() && settings.clipboardRetentionDays() >= 1; });
    auto* limit = new BoundSpinBox(settings, Keys::clipboardLimit, SettingRanges::clipboardLimit);
    limit->setSuffix(QStringLiteral(" items"));
    onlyWhileOn(section.addRow(QStringLiteral("Remember"), limit));

    auto* actions = new QWidget;
    auto* row = new QHBoxLayout(actions);
    row->setContentsMargins(0, 0, 0, 0);
    m_count = secondaryLabel(QString(), 13);
    row->addWidget(m_count);
    row->addStretch();
    auto* open = new QPushButton(QStringLiteral("Open"));
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, [openStrip = std::move(openStrip)] {
        if (openStrip)
            openStrip();
    });
    row->addWidget(open);
    m_clear = new QPushButton(QStringLiteral("Clear History"));
    m_clear->setAutoDefault(false);
    connect(m_clear, &QPushButton::clicked, this, [this] { m_history.clear(); });
    row->addWidget(m_clear);
    onlyWhileOn(section.addRow(actions));

    connect(&history, &ClipboardHistory::itemsChanged, this, &ClipboardSettings::showCount);
    showCount();
}

QString ClipboardSettings::description() const {
    const std::optional<QString> shortcut = m_shortcutText ? m_shortcutText() : std::nullopt;
    // Without a shortcut reader there is no key to name.
    if (!shortcut)
        return QStringLiteral("A bar of everything you copied. Password managers are skipped.");
    return QStringLiteral("Press ") + *shortcut +
           QStringLiteral(" for a bar of everything you copied. Password managers are skipped.");
}

void ClipboardSettings::showCount() {
    const auto count = static_cast<qlonglong>(m_history.items().size());
    // The same words for every count.
    m_count->setText(QString::number(count) + QStringLiteral(" items right now"));
    m_clear->setEnabled(count > 0);
}

} // namespace corvane
