// The keep-awake status item's menu and its countdown.
#include "core/Settings.h"
#include "system/AwakeController.h"
#include "system/AwakeSymbols.h"

#include <QMenu>

namespace corvane {

void AwakeController::buildMenu(QMenu& menu) {
    // Clearing drops the rows but not the submenus they opened: those go by hand.
    menu.clear();
    qDeleteAll(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    QPointer<AwakeController> self(this);
    // Menu actions outlive nothing: each does nothing once the controller is gone.
    const auto addAction = [self](QMenu& into, const QString& title, const QString& symbol, auto handler) {
        QAction* action = into.addAction(awakeMenuIcon(symbol), title);
        QObject::connect(action, &QAction::triggered, action, [self, handler] {
            if (self)
                handler(*self);
        });
        return action;
    };

    m_statusLine = menu.addAction(statusText());
    m_statusLine->setEnabled(false);
    menu.addSeparator();

    if (!m_isActive)
        addAction(menu, QStringLiteral("Keep Awake"), QStringLiteral("cup.and.saucer"),
                  [](AwakeController& c) { c.start(std::nullopt); });
    else
        addAction(menu, QStringLiteral("Stop Keeping Awake"), QStringLiteral("stop.circle"),
                  [](AwakeController& c) { c.stop(); });

    QMenu* forMenu = menu.addMenu(awakeMenuIcon(QStringLiteral("clock")), QStringLiteral("Keep Awake For"));
    const double last = m_settings.awakeLastDuration();
    for (const AwakeDuration& row : durations()) {
        const std::optional<double> length =
            row.indefinite ? std::nullopt : std::optional<double>(row.seconds);
        QAction* action = addAction(*forMenu, QString::fromLatin1(row.title), QString(),
                                    [length](AwakeController& c) { c.start(length); });
        const bool chosen = row.indefinite ? last == 0 : last == row.seconds;
        action->setCheckable(true);
        action->setChecked(m_isActive && chosen);
    }
    menu.addSeparator();

    // Every mode is offered, whatever the system can hold: choosing one the system refuses says so
    // once, and the lid-closed mode falls back to System only.
    for (const auto& [mode, raw] : EnumCases<AwakeMode>::cases) {
        QAction* action = addAction(menu, title(mode), modeSymbol(mode), [mode = mode](AwakeController& c) {
            // A stored change of mode is reapplied by whoever watches the settings; restarting
            // again would only tell a second time what the system refused.
            const int starts = c.m_starts;
            c.m_settings.setAwakeMode(mode);
            if (c.m_starts == starts)
                c.reapplyMode();
        });
        action->setCheckable(true);
        action->setChecked(m_settings.awakeMode() == mode);
        action->setToolTip(description(mode));
    }
    menu.setToolTipsVisible(true);
    menu.addSeparator();

    addAction(menu, QStringLiteral("Keep Awake Settings…"), QStringLiteral("gearshape"),
              [](AwakeController& c) { c.m_opener.showKeepAwakeSettings(); });
}

void AwakeController::menuWillOpen() {
    QPointer<AwakeController> self(this);
    m_menuTimer = m_scheduler.scheduleRepeating(Seconds(1.0), Seconds(0), [self] {
        if (self)
            self->countdownTick();
    });
}

void AwakeController::menuDidClose() {
    m_menuTimer.invalidate();
}

void AwakeController::countdownTick() {
    if (m_statusLine)
        m_statusLine->setText(statusText());
}

} // namespace corvane
