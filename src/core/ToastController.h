#pragma once

#include "runtime/Cancellation.h"
#include "runtime/Time.h"

#include <QCoro/QCoroTask>
#include <QString>

#include <memory>

namespace corvane {

class Animator;
class FloatingPanel;
class PanelWindowing;
class Scheduler;
class Screens;
class Settings;

// Short messages with a symbol, shown near the bottom of the screen under the pointer and hidden
// on their own. The toast never takes clicks; they reach whatever lies below. Main thread.
class ToastController {
public:
    ToastController(Screens& screens, Scheduler& scheduler, const Settings& settings,
                    PanelWindowing& windowing, Animator& animator);
    ~ToastController();
    ToastController(const ToastController&) = delete;
    ToastController& operator=(const ToastController&) = delete;

    // Shows `message` on one line after the picture named `symbol`, until `visibleDuration` after
    // the last call: a newer toast replaces the one on screen and restarts the wait. Nothing is
    // shown when there is no screen at all.
    void show(const QString& message, const QString& symbol);

    // The panel, made by the first toast and reused by every later one.
    FloatingPanel* panel() const { return m_panel.get(); }
    const QString& lastMessage() const { return m_lastMessage; }
    const QString& lastSymbol() const { return m_lastSymbol; }

    static constexpr Seconds visibleDuration{1.8};
    static constexpr Seconds fadeInDuration{0.15};
    static constexpr Seconds fadeOutDuration{0.3};
    // The gap between the toast's bottom edge and the bottom of the screen's visible area.
    static constexpr int bottomOffset = 90;
    static constexpr int symbolSize = 16;

private:
    QCoro::Task<void> hideAfterDelay(CancellationToken token);

    Screens& m_screens;
    Scheduler& m_scheduler;
    const Settings& m_settings;
    PanelWindowing& m_windowing;
    Animator& m_animator;

    std::unique_ptr<FloatingPanel> m_panel;
    TaskSlot m_hideTask;
    QString m_lastMessage;
    QString m_lastSymbol;
};

} // namespace corvane
