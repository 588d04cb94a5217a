#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace corvane {

class PanelWindowing;

// Window levels: anything above the normal level floats above ordinary windows. The desktop
// offers only "on top" or not, so every level above normal stacks the same.
namespace PanelLevel {
inline constexpr int normal = 0;
inline constexpr int status = 25;
} // namespace PanelLevel

// The one kind of window the product shows its own floating surfaces in: borderless, translucent,
// above ordinary windows, on every desktop, and never taking keyboard focus, so that typing keeps
// going to the program that had it. The owner keeps the panel; closing only hides it.
class FloatingPanel : public QWidget {
    Q_OBJECT
public:
    // Callers usually pass (0, 0, 100, 100) and set the real frame later. With `ignoresMouse`
    // clicks and pointer moves pass through to whatever lies below.
    FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level, bool ignoresMouse);
    ~FloatingPanel() override;

    int level() const { return m_level; }
    bool ignoresMouseEvents() const { return m_ignoresMouse; }
    // Whether the panel takes keyboard focus when shown; only subclasses that ask can.
    bool canBecomeKeyWindow() const { return m_canBecomeKey; }

    // The view that fills the panel. Setting one deletes the previous one.
    QWidget* contentView() const { return m_contentView; }
    void setContentView(QWidget* view);

    // The opacity the panel shows, or is fading towards while a fade runs.
    double alphaValue() const { return m_alpha; }
    // Shows `alpha` at once. A fade in progress is not stopped: start a new fade instead.
    void setAlphaValue(double alpha);
    // For animators: the opacity a fade that starts now heads to, leaving the shown one to it.
    void setFadeTarget(double alpha) { m_alpha = alpha; }

protected:
    // For panels that must take keyboard focus while shown.
    FloatingPanel(PanelWindowing& windowing, const QRect& contentRect, int level, bool ignoresMouse,
                  bool canBecomeKey);

    void showEvent(QShowEvent* event) override;

private:
    PanelWindowing& m_windowing;
    QPointer<QWidget> m_contentView;
    int m_level;
    bool m_ignoresMouse;
    bool m_canBecomeKey;
    double m_alpha = 1.0;
};

} // namespace corvane
