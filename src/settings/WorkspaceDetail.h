#pragma once

#include "workspaces/Workspace.h"

#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace corvane {

class AppIcons;
class ColorSwatches;
class FormSection;
class SettingsActions;
class WorkspaceItemRow;
class WorkspaceManager;

// The form of one workspace: name, colour, hot-key slot, layout on restore, its saved windows,
// and the restore, update and delete actions. It edits a copy: every change of the copy goes to
// the manager at once, and a change of the stored workspace made anywhere (also the manager's own
// rules, such as a blank name becoming "Workspace") replaces the copy.
class WorkspaceDetail : public QWidget {
    Q_OBJECT
public:
    using ShortcutText = std::function<std::optional<QString>(int slot)>;

    WorkspaceDetail(Workspace seed, WorkspaceManager& manager, SettingsActions& actions, AppIcons& icons,
                    ShortcutText shortcutText, QWidget* parent = nullptr);

    const Workspace& copy() const { return m_copy; }
    QLineEdit& nameField() const { return *m_name; }
    ColorSwatches& swatches() const { return *m_swatches; }
    QComboBox& slotPicker() const { return *m_slot; }
    QComboBox& layoutPicker() const { return *m_layout; }
    FormSection& windowsSection() const { return *m_windows; }
    const std::vector<WorkspaceItemRow*>& itemRows() const { return m_rows; }
    QPushButton& restoreButton() const { return *m_restoreNow; }
    QPushButton& updateButton() const { return *m_update; }
    QPushButton& deleteButton() const { return *m_delete; }
    // Whether "Delete" has moved under the other two for want of width.
    bool actionsStacked() const;

    // Labels the hotkey slots with their shortcuts as they are stored now.
    void showShortcutTexts();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeActions();
    // Changes the copy and writes it through.
    void edit(const std::function<void(Workspace&)>& change);
    void followStore();
    // Shows the copy in every control without writing anything back.
    void showCopy();
    void rebuildItems();
    void arrangeActions();

    Workspace m_copy;
    WorkspaceManager& m_manager;
    SettingsActions& m_actions;
    AppIcons& m_icons;
    ShortcutText m_shortcutText;
    QLineEdit* m_name = nullptr;
    ColorSwatches* m_swatches = nullptr;
    QComboBox* m_slot = nullptr;
    QComboBox* m_layout = nullptr;
    FormSection* m_windows = nullptr;
    QWidget* m_itemsBox = nullptr;
    QVBoxLayout* m_itemsLayout = nullptr;
    std::vector<WorkspaceItemRow*> m_rows;
    // The items the rows show, in order; none before the first showing.
    std::optional<std::vector<QUuid>> m_shownItems;
    QWidget* m_actionsRow = nullptr;
    QPushButton* m_restoreNow = nullptr;
    QPushButton* m_update = nullptr;
    QPushButton* m_delete = nullptr;
    QWidget* m_secondLine = nullptr;
};

} // namespace corvane
