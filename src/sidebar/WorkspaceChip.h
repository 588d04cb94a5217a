#pragma once

#include "workspaces/Workspace.h"

#include <QColor>
#include <QWidget>

namespace corvane {

// A saved workspace in the strip: a disc in the workspace's colour with its initials, which grows
// while a window is dragged over it and wears a ring while the workspace is being restored. Its
// tooltip names the workspace and its shortcut slot. It only draws; the strip attaches the
// gestures. The widget is larger than the chip by `bleed` on every side (for the growth and the
// shadow); `chipRect()` is the chip itself.
class WorkspaceChip : public QWidget {
    Q_OBJECT
public:
    static constexpr int bleed = 4;
    static constexpr double side = 22;

    WorkspaceChip(Workspace workspace, bool isTargeted, bool isRestoring, QWidget* parent = nullptr);

    const Workspace& workspace() const { return m_workspace; }
    void setWorkspace(Workspace workspace);
    bool isTargeted() const { return m_isTargeted; }
    void setTargeted(bool targeted);
    bool isRestoring() const { return m_isRestoring; }
    void setRestoring(bool restoring);

    QRectF chipRect() const;
    QSize sizeHint() const override;

    // The disc's colour: the workspace colour, mid grey when it is not six hexadecimal digits.
    QColor discColor() const;
    double scale() const { return m_isTargeted ? 1.25 : 1.0; }
    const QString& initials() const { return m_initials; }
    // The name (its first few hundred characters), then two blanks, the Option sign and the slot
    // number when the workspace has one.
    static QString helpText(const Workspace& workspace);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Workspace m_workspace;
    QString m_initials; // computed when the name changes, never on a repaint
    bool m_isTargeted;
    bool m_isRestoring;
};

} // namespace corvane
