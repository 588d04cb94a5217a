#pragma once

#include "workspaces/Workspace.h"

#include <QColor>
#include <QWidget>

namespace corvane {

class Animator;

// A saved workspace in the strip: a disc in the workspace's colour with its initials, which grows
// while a window is dragged over it and wears a ring while the workspace is being restored. Its
// tooltip names the workspace and its shortcut slot. It only draws; the strip attaches the
// gestures. The widget is larger than the chip by `bleed` on every side (for the growth and the
// shadow); `chipRect()` is the chip itself.
class WorkspaceChip : public QWidget {
    Q_OBJECT
    // The scale drawn now, on its way to `scale()`.
    Q_PROPERTY(double drawnScale READ drawnScale WRITE setDrawnScale)
    // How far the chip has come in (0 to 1): it fades and grows from 0.8 as it arrives.
    Q_PROPERTY(double presence READ presence WRITE setPresence)
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
    double drawnScale() const { return m_drawnScale; }
    void setDrawnScale(double scale);
    double presence() const { return m_presence; }
    void setPresence(double presence);
    // The drop-target swell runs through `animator` from now on (none: it shows at once).
    void setAnimator(Animator* animator) { m_animator = animator; }
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
    double m_drawnScale;
    double m_presence = 1;
    Animator* m_animator = nullptr;
};

} // namespace corvane
