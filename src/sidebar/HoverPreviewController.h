#pragma once

#include "core/SettingsEnums.h"
#include "platform/Screens.h"
#include "windows/WindowInfo.h"

#include <QRect>
#include <QRectF>

#include <memory>
#include <optional>

namespace corvane {

class Animator;
class AppIcons;
class FloatingPanel;
class HoverPreviewModel;
class PanelMotion;
class PanelWindowing;
class Settings;
class ThumbnailService;

// The large card beside the strip showing the hovered window. It stands in a panel of its own,
// one level above the strip, that the pointer passes through; it follows the hovered cell and
// slides and fades in and out. When to show and hide it is the strip's decision.
class HoverPreviewController {
public:
    HoverPreviewController(PanelWindowing& windowing, Animator& animator, const Settings& settings,
                           ThumbnailService& thumbnails, AppIcons& icons);
    ~HoverPreviewController();

    // Shows the card for `window` beside the strip, or moves it there when it already shows.
    // `anchor` is the hovered cell and `stripFrame` the strip's panel, both in screen coordinates.
    void show(const WindowInfo& window, SidebarEdge edge, const ScreenInfo& screen, const QRectF& anchor,
              const QRectF& stripFrame);
    // Fades the card out when it shows; otherwise does nothing.
    void hide();
    // Gives the panel its content for the current panel style; rebuilt only when the style changed.
    void updateContent();

    bool isVisible() const { return m_visible; }
    FloatingPanel& panel() { return *m_panel; }
    HoverPreviewModel& model() { return *m_model; }
    // The style the content was last built for; the strip clears it when the style changes.
    std::optional<PanelStyle> style() const { return m_style; }
    void setStyle(std::optional<PanelStyle> style) { m_style = style; }
    // Where the card stands, or is moving to.
    QRect targetFrame() const;

    static constexpr double cardWidth = 480;
    // The card's height for a window of that frame: the picture keeps the window's proportions
    // within 180...420 points, plus the insets and the title row.
    static double cardHeight(const QRectF& windowFrame);
    // The card's frame beside the strip, level with the anchor and kept 8 points inside the
    // visible frame (its top wins on a screen too short for it).
    static QRect cardFrame(double height, SidebarEdge edge, const QRectF& visibleFrame, const QRectF& anchor,
                           const QRectF& stripFrame);

private:
    const Settings& m_settings;
    ThumbnailService& m_thumbnails;
    AppIcons& m_icons;
    std::unique_ptr<HoverPreviewModel> m_model;
    std::unique_ptr<FloatingPanel> m_panel;
    std::unique_ptr<PanelMotion> m_motion;
    std::optional<PanelStyle> m_style;
    bool m_visible = false;
};

} // namespace corvane
