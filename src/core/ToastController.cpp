#include "core/ToastController.h"

#include "core/Animator.h"
#include "core/Colors.h"
#include "core/FloatingPanel.h"
#include "core/PanelBackground.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "core/SymbolImage.h"
#include "runtime/Scheduler.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>

#include <cmath>

namespace corvane {

namespace {

// The text up to its first line break, marked as cut where there was more.
QString firstLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029')
            return text.left(i) + QChar(0x2026);
    }
    return text;
}

// A row of the brand-coloured symbol and the message, sized to fit what it shows.
QWidget* makeToastContent(const QString& message, const QString& symbol) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(8);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("toastSymbol"));
    picture->setPixmap(symbolImage(symbol, brandColor(), ToastController::symbolSize,
                                   qApp ? qApp->devicePixelRatio() : 1.0));
    layout->addWidget(picture, 0, Qt::AlignVCenter);

    auto* text = new QLabel;
    text->setObjectName(QStringLiteral("toastText"));
    // Names in messages are the user's: never read as markup.
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(false);
    QFont font = QApplication::font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    text->setFont(font);
    text->setText(firstLine(message));
    layout->addWidget(text, 0, Qt::AlignVCenter);

    row->adjustSize();
    return row;
}

} // namespace

ToastController::ToastController(Screens& screens, Scheduler& scheduler, const Settings& settings,
                                 PanelWindowing& windowing, Animator& animator)
    : m_screens(screens), m_scheduler(scheduler), m_settings(settings), m_windowing(windowing),
      m_animator(animator) {}

ToastController::~ToastController() = default;

void ToastController::show(const QString& message, const QString& symbol) {
    m_lastMessage = message;
    m_lastSymbol = symbol;
    if (!m_panel) {
        m_panel =
            std::make_unique<FloatingPanel>(m_windowing, QRect(0, 0, 100, 100), PanelLevel::status, true);
    }

    QWidget* content = makeToastContent(message, symbol);
    const QSize size = content->size();
    // A capsule: the radius is half the height.
    m_panel->setContentView(makePanelBackground(m_settings.panelStyle(), content, size.height() / 2.0));

    const std::optional<ScreenInfo> screen = screenUnderMouse(m_screens);
    if (!screen)
        return; // an earlier toast keeps its own hide
    const QRectF visible = screen->visibleFrame;
    const double x = visible.center().x() - size.width() / 2.0;
    const double y = visible.bottom() - bottomOffset - size.height();
    m_panel->setFrame(
        QRect(QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))), size));

    m_panel->setAlphaValue(0);
    m_panel->show();
    m_panel->raise();
    m_animator.fade(*m_panel, 1.0, fadeInDuration);

    hideAfterDelay(m_hideTask.renew());
}

QCoro::Task<void> ToastController::hideAfterDelay(CancellationToken token) {
    // Cancelled by a newer toast, or by the controller's end: `this` is used only when not.
    if (co_await m_scheduler.sleep(visibleDuration, token) == SleepResult::cancelled)
        co_return;
    if (!m_panel)
        co_return;
    QPointer<FloatingPanel> panel(m_panel.get());
    m_animator.fade(*panel, 0.0, fadeOutDuration, [panel] {
        // A toast shown during the fade has raised the opacity again and keeps the panel up.
        if (panel && panel->alphaValue() == 0.0)
            panel->hide();
    });
}

} // namespace corvane
