#pragma once

#include "windows/SpaceInfo.h"

#include <QColor>
#include <QWidget>

namespace corvane {

class Animator;

// One desktop in the strip's desktops row: its number on a small rounded box, filled with the
// accent colour while it is the desktop shown. It only draws; the strip handles the click.
class DesktopChip : public QWidget {
    Q_OBJECT
    // How far the chip has come towards looking current (0 to 1).
    Q_PROPERTY(double currentProgress READ currentProgress WRITE setCurrentProgress)
    // How far the chip has come in (0 to 1): it fades and grows from 0.8 as it arrives.
    Q_PROPERTY(double presence READ presence WRITE setPresence)
public:
    // `hasOverview`: a double-click on a desktop shows the desktop's overview of its windows.
    DesktopChip(SpaceInfo space, bool isCurrent, QColor accent, bool hasOverview, QWidget* parent = nullptr);

    const SpaceInfo& space() const { return m_space; }
    void setSpace(SpaceInfo space);
    bool isCurrent() const { return m_isCurrent; }
    void setCurrent(bool current);
    void setAccent(QColor accent);
    double currentProgress() const { return m_currentProgress; }
    void setCurrentProgress(double progress);
    double presence() const { return m_presence; }
    void setPresence(double presence);
    // Becoming current or not runs through `animator` from now on (none: it shows at once).
    void setAnimator(Animator* animator) { m_animator = animator; }

    QSize sizeHint() const override;
    static QString helpText(const SpaceInfo& space, bool hasOverview);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SpaceInfo m_space;
    bool m_isCurrent;
    bool m_hasOverview;
    QColor m_accent;
    double m_currentProgress;
    double m_presence = 1;
    Animator* m_animator = nullptr;
};

} // namespace corvane
