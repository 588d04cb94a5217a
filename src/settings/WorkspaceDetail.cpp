#include "settings/WorkspaceDetail.h"

#include "core/Colors.h"
#include "settings/ColorSwatches.h"
#include "settings/FormSection.h"
#include "settings/SettingsActions.h"
#include "settings/SettingsChoices.h"
#include "settings/WorkspaceEditing.h"
#include "settings/WorkspaceItemRow.h"
#include "workspaces/WorkspaceManager.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace corvane {

using namespace WorkspaceEditing;

WorkspaceDetail::WorkspaceDetail(Workspace seed, WorkspaceManager& manager, SettingsActions& actions,
                                 AppIcons& icons, ShortcutText shortcutText, QWidget* parent)
    : QWidget(parent), m_copy(std::move(seed)), m_manager(manager), m_actions(actions), m_icons(icons),
      m_shortcutText(std::move(shortcutText)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    // The form takes the width it is given, so that a narrow one can move "Delete" to a line of
    // its own rather than grow sideways.
    column->setSizeConstraint(QLayout::SetNoConstraint);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->setSpacing(18);

    auto* form = new FormSection;
    m_name = new QLineEdit;
    m_name->setMinimumWidth(200);
    connect(m_name, &QLineEdit::textEdited, this,
            [this](const QString& text) { edit([&text](Workspace& w) { w.name = text; }); });
    form->addRow(QStringLiteral("Name"), m_name);
    m_swatches = new ColorSwatches;
    connect(m_swatches, &ColorSwatches::chosenByUser, this,
            [this](const QString& hex) { edit([&hex](Workspace& w) { w.colorHex = hex; }); });
    form->addRow(QStringLiteral("Color"), m_swatches);
    m_slot = new QComboBox;
    m_slot->addItem(QStringLiteral("None"));
    for (int slot = 1; slot <= 9; ++slot)
        m_slot->addItem(QString(), slot);
    showShortcutTexts();
    connect(m_slot, &QComboBox::currentIndexChanged, this, [this](int index) {
        edit([index](Workspace& w) { w.hotkeyIndex = index > 0 ? std::optional<int>(index) : std::nullopt; });
    });
    form->addRow(QStringLiteral("Hotkey slot"), m_slot);
    m_layout = new QComboBox;
    m_layout->addItem(QStringLiteral("Saved positions"));
    for (const auto& [preset, label] : layoutPresetChoices())
        m_layout->addItem(label);
    connect(m_layout, &QComboBox::currentIndexChanged, this, [this](int index) {
        edit([index](Workspace& w) {
            w.layout =
                index > 0
                    ? std::optional<LayoutPreset>(layoutPresetChoices()[static_cast<size_t>(index - 1)].first)
                    : std::nullopt;
        });
    });
    form->addRow(QStringLiteral("On restore"), m_layout);
    column->addWidget(form);

    m_windows = new FormSection(windowsHeader(m_copy.items.size()));
    m_itemsBox = new QWidget;
    m_itemsLayout = new QVBoxLayout(m_itemsBox);
    m_itemsLayout->setContentsMargins(0, 0, 0, 0);
    m_windows->addRow(m_itemsBox);
    column->addWidget(m_windows);

    auto* actionsSection = new FormSection;
    actionsSection->addRow(makeActions());
    column->addWidget(actionsSection);
    column->addStretch(1);

    showCopy();
    connect(&m_manager, &WorkspaceManager::workspacesChanged, this, &WorkspaceDetail::followStore);
}

QWidget* WorkspaceDetail::makeActions() {
    auto* actions = new QWidget;
    auto* lines = new QVBoxLayout(actions);
    lines->setContentsMargins(0, 0, 0, 0);
    m_actionsRow = new QWidget;
    auto* row = new QHBoxLayout(m_actionsRow);
    row->setContentsMargins(0, 0, 0, 0);
    m_restoreNow = prominentButton(QStringLiteral("Restore Now"));
    connect(m_restoreNow, &QPushButton::clicked, this, [this] { m_actions.restoreWorkspace(m_copy); });
    m_update = new QPushButton(QStringLiteral("Update from Current"));
    connect(m_update, &QPushButton::clicked, this,
            [this] { m_actions.updateWorkspaceFromWindows(m_copy.id); });
    m_delete = new QPushButton(QStringLiteral("Delete"));
    QPalette destructive = m_delete->palette();
    destructive.setColor(QPalette::ButtonText, QColor(215, 0, 21));
    m_delete->setPalette(destructive);
    connect(m_delete, &QPushButton::clicked, this, [this] { m_manager.remove(m_copy.id); });
    row->addWidget(m_restoreNow);
    row->addWidget(m_update);
    row->addStretch(1);
    row->addSpacing(8);
    row->addWidget(m_delete);
    lines->addWidget(m_actionsRow);
    m_secondLine = new QWidget;
    auto* second = new QHBoxLayout(m_secondLine);
    second->setContentsMargins(0, 0, 0, 0);
    second->addStretch(1);
    m_secondLine->hide();
    lines->addWidget(m_secondLine);
    return actions;
}

bool WorkspaceDetail::actionsStacked() const {
    return m_delete->parentWidget() == m_secondLine;
}

void WorkspaceDetail::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrangeActions();
}

void WorkspaceDetail::arrangeActions() {
    const int needed = m_restoreNow->sizeHint().width() + m_update->sizeHint().width() +
                       m_delete->sizeHint().width() + 8 + 4 * m_actionsRow->layout()->spacing() + 2 * 12;
    const bool stack = width() < needed;
    if (stack == actionsStacked())
        return;
    auto* row = static_cast<QHBoxLayout*>(m_actionsRow->layout());
    auto* second = static_cast<QHBoxLayout*>(m_secondLine->layout());
    if (stack) {
        row->removeWidget(m_delete);
        second->insertWidget(0, m_delete);
    } else {
        second->removeWidget(m_delete);
        row->addWidget(m_delete);
    }
    m_secondLine->setVisible(stack);
}

void WorkspaceDetail::edit(const std::function<void(Workspace&)>& change) {
    Workspace edited = m_copy;
    change(edited);
    if (edited == m_copy)
        return;
    m_copy = std::move(edited);
    m_manager.update(m_copy);
    showCopy();
}

void WorkspaceDetail::followStore() {
    const std::optional<Workspace> stored = m_manager.workspace(m_copy.id);
    // A workspace deleted elsewhere leaves the copy as it was.
    if (!stored || *stored == m_copy)
        return;
    m_copy = *stored;
    showCopy();
}

void WorkspaceDetail::showCopy() {
    if (m_name->text() != m_copy.name) {
        const QSignalBlocker blocker(m_name);
        m_name->setText(m_copy.name);
    }
    m_swatches->setChosen(m_copy.colorHex);
    {
        const QSignalBlocker blocker(m_slot);
        const int slot = m_copy.hotkeyIndex.value_or(0);
        m_slot->setCurrentIndex(slot >= 1 && slot <= 9 ? slot : 0);
    }
    {
        const QSignalBlocker blocker(m_layout);
        int index = 0;
        const auto presets = layoutPresetChoices();
        for (size_t i = 0; i < presets.size(); ++i)
            if (m_copy.layout == presets[i].first)
                index = static_cast<int>(i) + 1;
        m_layout->setCurrentIndex(index);
    }
    rebuildItems();
}

void WorkspaceDetail::rebuildItems() {
    std::vector<QUuid> ids;
    for (const WorkspaceItem& item : m_copy.items)
        ids.push_back(item.id);
    if (m_shownItems && ids == *m_shownItems) {
        // Only titles can differ: keep the rows, and the field being typed in.
        for (size_t i = 0; i < m_rows.size(); ++i)
            m_rows[i]->showTitle(m_copy.items[i].titleContains);
        return;
    }
    m_shownItems = ids;
    // The rows go later: one of them may be the sender of the change being shown.
    while (QLayoutItem* left = m_itemsLayout->takeAt(0)) {
        if (QWidget* gone = left->widget()) {
            gone->hide();
            gone->deleteLater();
        }
        delete left;
    }
    m_rows.clear();
    m_windows->setHeader(windowsHeader(m_copy.items.size()));
    if (m_copy.items.empty()) {
        m_itemsLayout->addWidget(
            captionLabel(QStringLiteral("No windows. Use \u201CUpdate from Current Windows\u201D or drag a "
                                        "thumbnail onto this workspace's chip "
                                        "in the sidebar.")));
        return;
    }
    const int count = static_cast<int>(m_copy.items.size());
    for (int i = 0; i < count; ++i) {
        const WorkspaceItem& item = m_copy.items[static_cast<size_t>(i)];
        auto* row = new WorkspaceItemRow(item, m_icons, i > 0, i < count - 1);
        const QUuid id = item.id;
        connect(row, &WorkspaceItemRow::moveRequested, this, [this, id](int step) {
            edit([&](Workspace& w) {
                for (size_t at = 0; at < w.items.size(); ++at)
                    if (w.items[at].id == id) {
                        moveItem(w.items, static_cast<int>(at), step);
                        return;
                    }
            });
        });
        connect(row, &WorkspaceItemRow::removeRequested, this,
                [this, id] { edit([&](Workspace& w) { removeItem(w.items, id); }); });
        connect(row, &WorkspaceItemRow::titleEdited, this, [this, id](const QString& text) {
            edit([&](Workspace& w) {
                for (WorkspaceItem& each : w.items)
                    if (each.id == id)
                        each.titleContains = titleFragment(text);
            });
        });
        m_itemsLayout->addWidget(row);
        m_rows.push_back(row);
    }
}

void WorkspaceDetail::showShortcutTexts() {
    for (int slot = 1; slot <= 9; ++slot)
        m_slot->setItemText(slot, slotLabel(slot, m_shortcutText ? m_shortcutText(slot) : std::nullopt));
}

} // namespace corvane
