#pragma once

#include <QListWidget>

#include <functional>
#include <optional>

namespace corvane {

class WorkspaceManager;

// The editor's list of workspaces: a dot in each one's colour, its name, and the text of its slot's
// shortcut. Rows are dragged to a new place; the manager does the move and the list follows it.
class WorkspaceList : public QListWidget {
    Q_OBJECT
public:
    using ShortcutText = std::function<std::optional<QString>(int slot)>;

    WorkspaceList(WorkspaceManager& manager, ShortcutText shortcutText, QWidget* parent = nullptr);

    // The row of the workspace with that id, or -1.
    int rowOf(const QUuid& id) const;
    // Rebuilds the rows from the manager, keeping the selected workspace selected.
    void reload();
    // Moves the workspace of row `from` before the one of row `destination` (the row count for the
    // end), as dropping it there does; the manager moves it and the list follows.
    void moveRow(int from, int destination);

    // Roles of the rows' data.
    static constexpr int idRole = Qt::UserRole;
    static constexpr int colorRole = Qt::UserRole + 1;
    static constexpr int shortcutRole = Qt::UserRole + 2;

protected:
    void dropEvent(QDropEvent* event) override;

private:
    WorkspaceManager& m_manager;
    ShortcutText m_shortcutText;
};

} // namespace corvane
