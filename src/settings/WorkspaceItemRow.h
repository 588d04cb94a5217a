#pragma once

#include "workspaces/Workspace.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace corvane {

class AppIcons;

// One saved window in the workspace editor: the program's icon and name, the title fragment that
// picks its window on restore, a miniature of its frame, and buttons that move it up or down or
// remove it. The row only asks; the editor changes the workspace.
class WorkspaceItemRow : public QWidget {
    Q_OBJECT
public:
    WorkspaceItemRow(const WorkspaceItem& item, AppIcons& icons, bool canMoveUp, bool canMoveDown,
                     QWidget* parent = nullptr);

    QUuid itemID() const { return m_id; }
    QLineEdit& titleField() const { return *m_title; }
    QToolButton& upButton() const { return *m_up; }
    QToolButton& downButton() const { return *m_down; }
    QToolButton& removeButton() const { return *m_remove; }
    // Shows the stored fragment unless the field already reads it.
    void showTitle(const std::optional<QString>& fragment);

Q_SIGNALS:
    void moveRequested(int step);
    void removeRequested();
    void titleEdited(const QString& text);

private:
    QUuid m_id;
    QLineEdit* m_title = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    QToolButton* m_remove = nullptr;
};

} // namespace corvane
