#pragma once

#include "runtime/NotificationCenter.h"
#include "settings/SettingsPage.h"
#include "settings/WorkspaceDetail.h"

class QLabel;
class QStackedWidget;
class QToolButton;

namespace corvane {

class SettingsNavigation;
class WorkspaceList;

// The "Workspaces" page: the list of saved workspaces with buttons that save the current windows
// as a new one or delete the selected one, beside the form of the selected workspace, or an
// invitation to save one when none is selected. The selection is the settings window's, so the
// page opens on the workspace a chip's "Edit…" asked for; shown with none, it selects the first.
class WorkspaceEditorView : public SettingsPage {
    Q_OBJECT
public:
    WorkspaceEditorView(WorkspaceManager& manager, SettingsNavigation& nav, SettingsActions& actions,
                        AppIcons& icons, WorkspaceDetail::ShortcutText shortcutText,
                        QWidget* parent = nullptr);

    WorkspaceList& list() const { return *m_list; }
    QToolButton& addButton() const { return *m_add; }
    QToolButton& removeButton() const { return *m_remove; }
    // The form of the selected workspace; null while the empty state shows.
    WorkspaceDetail* detail() const { return m_detail; }
    QLabel& emptyHeadline() const { return *m_emptyHeadline; }
    QPushButton& saveButton() const { return *m_save; }
    // Shown while the workspaces file could not be read, so no edit is saved.
    QWidget& savesRefusedWarning() const { return *m_savesRefused; }

    // Shows every shortcut's text afresh whenever a shortcut changes (a restore shortcut
    // recorded again), in the list and in the form's slot picker.
    void followShortcuts(NotificationCenter& notifications);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeListColumn();
    QWidget* makeEmptyState();
    // Brings the list, the detail and the buttons in line with the selection and the store.
    void showSelection();
    void deleteSelected();

    WorkspaceManager& m_manager;
    SettingsNavigation& m_nav;
    SettingsActions& m_actions;
    AppIcons& m_icons;
    WorkspaceDetail::ShortcutText m_shortcutText;
    ObserverToken m_shortcutObserver;
    WorkspaceList* m_list = nullptr;
    QToolButton* m_add = nullptr;
    QToolButton* m_remove = nullptr;
    QStackedWidget* m_detailArea = nullptr;
    QWidget* m_empty = nullptr;
    QLabel* m_emptyHeadline = nullptr;
    QPushButton* m_save = nullptr;
    WorkspaceDetail* m_detail = nullptr;
    // The scrolling area the form sits in.
    QWidget* m_detailScroll = nullptr;
    QWidget* m_savesRefused = nullptr;
};

} // namespace corvane
