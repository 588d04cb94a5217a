#include "settings/WorkspaceEditorView.h"

#include "ShortcutKit/ShortcutNotifications.h"
#include "core/Colors.h"
#include "core/SymbolImage.h"
#include "settings/FormSection.h"
#include "settings/SettingsActions.h"
#include "settings/SettingsNavigation.h"
#include "settings/WorkspaceItemRow.h"
#include "settings/WorkspaceList.h"
#include "workspaces/WorkspaceManager.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

// The key names of the default shortcuts, as a PC keyboard labels them; fixed text.
const char* const invitation = "Arrange your windows for a project, then click + (or press Alt+Shift+W).\n"
                               "Restore the whole layout with one click or Alt+1\u2026Alt+9.";

} // namespace

WorkspaceEditorView::WorkspaceEditorView(WorkspaceManager& manager, SettingsNavigation& nav,
                                         SettingsActions& actions, AppIcons& icons,
                                         WorkspaceDetail::ShortcutText shortcutText, QWidget* parent)
    : SettingsPage(SettingsTab::workspaces, parent), m_manager(manager), m_nav(nav), m_actions(actions),
      m_icons(icons), m_shortcutText(std::move(shortcutText)) {
    m_savesRefused = warningLabel(QStringLiteral(
        "The workspaces file could not be read and nothing will be saved until it is dealt with."));
    m_savesRefused->setVisible(m_manager.loadError().has_value());
    form().insertWidget(0, m_savesRefused);

    auto* editor = new QWidget;
    auto* split = new QHBoxLayout(editor);
    split->setContentsMargins(0, 0, 0, 0);
    split->setSpacing(0);
    split->addWidget(makeListColumn());
    split->addWidget(divider(Qt::Vertical));
    m_detailArea = new QStackedWidget;
    m_empty = makeEmptyState();
    m_detailArea->addWidget(m_empty);
    split->addWidget(m_detailArea, 1);
    // The editor fills the page below its title instead of sitting at the top of the column.
    form().insertWidget(form().count() - 1, editor, 100);

    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_list->selectedItems();
        if (!chosen.isEmpty())
            m_nav.setSelectedWorkspace(chosen.front()->data(WorkspaceList::idRole).toUuid());
    });
    connect(&m_nav, &SettingsNavigation::selectedWorkspaceChanged, this, &WorkspaceEditorView::showSelection);
    connect(&m_manager, &WorkspaceManager::workspacesChanged, this, [this] {
        m_list->reload();
        showSelection();
    });
    showSelection();
}

void WorkspaceEditorView::followShortcuts(NotificationCenter& notifications) {
    QPointer<WorkspaceEditorView> self(this);
    m_shortcutObserver =
        notifications.addObserver(ShortcutKit::shortcutByNameDidChange, [self](const Notification&) {
            if (!self)
                return;
            self->m_list->reload();
            if (self->m_detail)
                self->m_detail->showShortcutTexts();
        });
}

QWidget* WorkspaceEditorView::makeListColumn() {
    auto* column = new QWidget;
    column->setFixedWidth(190);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_list = new WorkspaceList(m_manager, m_shortcutText);
    layout->addWidget(m_list, 1);
    layout->addWidget(divider(Qt::Horizontal));
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 6);
    bar->setSpacing(2);
    const QColor ink = palette().color(QPalette::WindowText);
    m_add = symbolButton(QStringLiteral("plus"), ink, 12,
                         QStringLiteral("Save current windows as a new workspace"));
    m_add->setFixedSize(22, 20);
    connect(m_add, &QToolButton::clicked, this, [this] { m_actions.saveWindowsAsWorkspace(); });
    m_remove =
        symbolButton(QStringLiteral("minus"), ink, 12, QStringLiteral("Delete the selected workspace"));
    m_remove->setFixedSize(22, 20);
    connect(m_remove, &QToolButton::clicked, this, &WorkspaceEditorView::deleteSelected);
    bar->addWidget(m_add);
    bar->addWidget(m_remove);
    bar->addStretch(1);
    layout->addLayout(bar);
    return column;
}

QWidget* WorkspaceEditorView::makeEmptyState() {
    auto* empty = new QWidget;
    auto* layout = new QVBoxLayout(empty);
    layout->setSpacing(10);
    layout->addStretch(1);
    QColor secondary = palette().color(QPalette::WindowText);
    secondary.setAlphaF(0.5f);
    auto* symbol = new QLabel;
    symbol->setPixmap(symbolImage(QStringLiteral("square.stack.3d.up"), secondary, 40, devicePixelRatioF()));
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    m_emptyHeadline = new QLabel;
    QFont headline = m_emptyHeadline->font();
    headline.setPixelSize(15);
    headline.setWeight(QFont::DemiBold);
    m_emptyHeadline->setFont(headline);
    layout->addWidget(m_emptyHeadline, 0, Qt::AlignHCenter);
    // Across the whole width, centred within it: a wrapping label placed by alignment gets the
    // height of its own guessed width, and the second sentence fell below it.
    QLabel* caption = captionLabel(QString::fromUtf8(invitation));
    caption->setAlignment(Qt::AlignHCenter);
    layout->addWidget(caption);
    m_save = prominentButton(QStringLiteral("Save Current Windows"));
    connect(m_save, &QPushButton::clicked, this, [this] { m_actions.saveWindowsAsWorkspace(); });
    layout->addWidget(m_save, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return empty;
}

void WorkspaceEditorView::showEvent(QShowEvent* event) {
    SettingsPage::showEvent(event);
    if (!m_nav.selectedWorkspace() && !m_manager.workspaces().empty())
        m_nav.setSelectedWorkspace(m_manager.workspaces().front().id);
}

void WorkspaceEditorView::showSelection() {
    const std::optional<QUuid> selected = m_nav.selectedWorkspace();
    {
        const QSignalBlocker blocker(m_list);
        const int row = selected ? m_list->rowOf(*selected) : -1;
        if (row >= 0)
            m_list->setCurrentRow(row);
        else
            m_list->clearSelection();
    }
    m_remove->setEnabled(selected.has_value());
    m_emptyHeadline->setText(m_manager.workspaces().empty() ? QStringLiteral("No workspaces yet")
                                                            : QStringLiteral("Select a workspace"));

    const std::optional<Workspace> stored = selected ? m_manager.workspace(*selected) : std::nullopt;
    if (m_detail && (!stored || m_detail->copy().id != stored->id)) {
        // The old form may be the sender of the change being shown: it goes later.
        QWidget* scroll = m_detailScroll;
        m_detailArea->removeWidget(scroll);
        scroll->hide();
        scroll->deleteLater();
        m_detail = nullptr;
    }
    if (stored && !m_detail) {
        m_detail = new WorkspaceDetail(*stored, m_manager, m_actions, m_icons, m_shortcutText);
        auto* scroll = new QScrollArea;
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        m_detail->setContentsMargins(16, 0, 0, 0);
        scroll->setWidget(m_detail);
        m_detailArea->addWidget(scroll);
        m_detailArea->setCurrentWidget(scroll);
        m_detailScroll = scroll;
    }
    if (!m_detail)
        m_detailArea->setCurrentWidget(m_empty);
}

void WorkspaceEditorView::deleteSelected() {
    if (const std::optional<QUuid> selected = m_nav.selectedWorkspace())
        m_manager.remove(*selected);
    m_nav.setSelectedWorkspace(std::nullopt);
}

} // namespace corvane
