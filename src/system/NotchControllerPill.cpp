// The keep-awake pill: a tab beside the notch whose ring drains until keeping awake ends.
#include "system/NotchController.h"

#include "core/FloatingPanel.h"
#include "core/NotchGeometry.h"
#include "core/Settings.h"
#include "platform/Screens.h"
#include "system/AwakePillView.h"

#include <QPainterPath>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr int notchLevel = 1000;

} // namespace

void NotchController::refreshPanels() {
    const std::optional<ScreenInfo> screen = notchScreen(m_services.screens.screens());
    const std::optional<QRectF> notch = screen ? notchRect(*screen) : std::nullopt;
    const bool active = m_services.awakeActive && m_services.awakeActive();
    if (!active || !m_services.settings.notchAwakeIndicator() || !notch) {
        m_pillTimer.invalidate();
        if (m_pillPanel)
            m_pillPanel->hide();
        return;
    }
    const std::optional<QDateTime> end = m_services.awakeEndDate ? m_services.awakeEndDate() : std::nullopt;
    const QDateTime now = m_services.scheduler.wallNow();
    const double baseline = end ? double(now.msecsTo(*end)) / 1000.0 : 0.0;
    const bool indefinite = !end;
    if (!m_pillPanel)
        makePillPanel(*notch);
    m_pillPanel->move(int(std::lround(notch->right() - 10)), int(std::lround(notch->top())));
    m_pillPanel->show();
    m_pillPanel->raise();
    updatePill(baseline, indefinite);
    QPointer<NotchController> self(this);
    m_pillTimer =
        m_services.scheduler.scheduleRepeating(Seconds(1.0), Seconds(0.1), [self, baseline, indefinite] {
            if (self)
                self->updatePill(baseline, indefinite);
        });
}

void NotchController::updatePill(double baselineSeconds, bool indefinite) {
    const std::optional<QDateTime> end = m_services.awakeEndDate ? m_services.awakeEndDate() : std::nullopt;
    if (end && !indefinite && baselineSeconds > 0) {
        m_model.setAwakeIndefinite(false);
        const double left = double(m_services.scheduler.wallNow().msecsTo(*end)) / 1000.0;
        m_model.setAwakeProgress(std::clamp(left / baselineSeconds, 0.0, 1.0));
    } else {
        m_model.setAwakeIndefinite(true);
        m_model.setAwakeProgress(1.0);
    }
}

FloatingPanel* NotchController::makePillPanel(const QRectF& notch) {
    m_pillPanel =
        std::make_unique<FloatingPanel>(m_services.windowing, QRect(0, 0, 100, 100), notchLevel, true);
    m_pillPanel->setHasShadow(false);
    m_pillPanel->setGeometry(int(std::lround(notch.right() - 10)), int(std::lround(notch.top())),
                             int(std::lround(notch.height() + 22)), int(std::lround(notch.height())));
    auto* view = new AwakePillView(m_model, notch.height());
    m_pillPanel->setContentView(view);
    m_pillPanel->setMask(QRegion(view->outline().toFillPolygon().toPolygon()));
    return m_pillPanel.get();
}

} // namespace corvane
