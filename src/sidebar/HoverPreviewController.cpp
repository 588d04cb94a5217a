#include "sidebar/HoverPreviewController.h"

#include "core/AppIcons.h"
#include "core/FloatingPanel.h"
#include "core/PanelBackground.h"
#include "core/PanelMotion.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "sidebar/HoverPreviewModel.h"
#include "sidebar/HoverPreviewView.h"
#include "sidebar/SidebarPanel.h"

#include <QApplication>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr double minimumPicture = 180;
constexpr double maximumPicture = 420;
// Insets, spacing and the title row around the picture: 10 + 8 + 30 + 10.
constexpr double chrome = 58;
// A window of no width gets a picture of a typical landscape shape.
constexpr double fallbackPictureRatio = 0.62;
constexpr double gapToStrip = 10;
constexpr double screenMargin = 8;
constexpr double slideIn = 8;
constexpr double cornerRadius = 14;
const Seconds fadeIn(0.16);
const Seconds moveDuration(0.14);
const Seconds fadeOut(0.12);

} // namespace

HoverPreviewController::HoverPreviewController(PanelWindowing& windowing, Animator& animator,
                                               const Settings& settings, ThumbnailService& thumbnails,
                                               AppIcons& icons)
    : m_settings(settings), m_thumbnails(thumbnails), m_icons(icons),
      m_model(std::make_unique<HoverPreviewModel>()),
      m_panel(
          std::make_unique<FloatingPanel>(windowing, QRect(0, 0, 100, 100), SidebarPanel::level + 1, true)),
      m_motion(std::make_unique<PanelMotion>(*m_panel, animator)) {}

HoverPreviewController::~HoverPreviewController() {
    // The motion looks at the panel; it goes first.
    m_motion.reset();
}

double HoverPreviewController::cardHeight(const QRectF& windowFrame) {
    const double width = windowFrame.width();
    if (!(width > 0) || !std::isfinite(windowFrame.height()))
        return fallbackPictureRatio * cardWidth + chrome;
    const double picture = windowFrame.height() / width * cardWidth;
    if (!(picture > minimumPicture))
        return minimumPicture + chrome;
    return std::min(picture, maximumPicture) + chrome;
}

QRect HoverPreviewController::cardFrame(double height, SidebarEdge edge, const QRectF& visibleFrame,
                                        const QRectF& anchor, const QRectF& stripFrame) {
    const double x = edge == SidebarEdge::right ? stripFrame.left() - gapToStrip - cardWidth
                                                : stripFrame.right() + gapToStrip;
    double top = anchor.center().y() - height / 2;
    top = std::min(top, visibleFrame.bottom() - screenMargin - height);
    top = std::max(top, visibleFrame.top() + screenMargin);
    return QRectF(x, top, cardWidth, height).toAlignedRect();
}

QRect HoverPreviewController::targetFrame() const {
    return m_motion->target();
}

void HoverPreviewController::updateContent() {
    const PanelStyle style = m_settings.panelStyle();
    if (m_style == style)
        return;
    m_style = style;
    auto* view = new HoverPreviewView(*m_model, m_thumbnails, m_icons);
    m_panel->setContentView(makePanelBackground(style, view, cornerRadius));
}

void HoverPreviewController::show(const WindowInfo& window, SidebarEdge edge, const ScreenInfo& screen,
                                  const QRectF& anchor, const QRectF& stripFrame) {
    updateContent();
    m_model->setWindow(window);

    const QRect frame =
        cardFrame(cardHeight(window.frame), edge, topLeftVisibleFrame(screen), anchor, stripFrame);
    if (!m_visible) {
        // From hidden, or while fading out: start again just beside the strip and slide away from it.
        const int towardsStrip = edge == SidebarEdge::right ? int(slideIn) : -int(slideIn);
        m_motion->jump(frame.translated(towardsStrip, 0));
        m_panel->setAlphaValue(0);
        m_panel->show();
        // A menu of the program stands above every panel: the card beside the strip stays under
        // one that is open rather than covering it.
        if (!QApplication::activePopupWidget())
            m_panel->raise();
        m_motion->run(frame, 1.0, fadeIn, PanelMotion::easeOut());
        m_visible = true;
    } else {
        m_motion->run(frame, m_panel->alphaValue(), moveDuration, PanelMotion::standard());
    }
}

void HoverPreviewController::hide() {
    if (!m_visible)
        return;
    m_visible = false;
    m_motion->run(m_motion->target(), 0.0, fadeOut, PanelMotion::standard(), [this] {
        // A show in between has taken the card over; it stays.
        if (m_visible)
            return;
        m_panel->hide();
        m_model->setWindow(std::nullopt);
    });
}

} // namespace corvane
