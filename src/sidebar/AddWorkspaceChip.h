#pragma once

#include <QWidget>

namespace corvane {

// The chip after the workspaces: a dashed circle with a plus that saves the current windows as
// a new workspace. Only the circle takes clicks.
class AddWorkspaceChip : public QWidget {
    Q_OBJECT
public:
    explicit AddWorkspaceChip(QWidget* parent = nullptr);
    QSize sizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool hits(const QPointF& point) const;
    bool m_pressed = false;
};

} // namespace corvane
