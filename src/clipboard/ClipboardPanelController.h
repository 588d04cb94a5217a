#pragma once

#include "clipboard/ClipItem.h"
#include "clipboard/ClipPreviews.h"
#include "clipboard/ClipboardPanelModel.h"
#include "clipboard/ClipboardView.h"
#include "clipboard/StripKeyboard.h"
#include "runtime/Scheduler.h"
#include "shelf/FilePanel.h"

#include <QEasingCurve>
#include <QIcon>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

class Animator;
class Executor;
class ClipboardHistory;
class EventMonitors;
class HotKeys;
class PanelMotion;
class PanelWindowing;
class PasteKeystroke;
class Screens;
class Settings;
class StatusItems;

// The clipboard strip at the bottom of the screen under the pointer, and its status item.
// Choosing an entry puts it on the clipboard and, when pasting directly, hands the keyboard back
// to the window that was in front, waits until the desktop confirms it has it, and pastes there.
// The strip stays while another window takes the keyboard: a click in another program closes it,
// as do Escape while it has the keyboard, its close button, its hot key and a choice.
class ClipboardPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr double stripHeight = 230;
    static constexpr double maximumWidth = 1400;
    static constexpr Seconds pasteDelay{0.12};
    // The strip slides up this far from below while it fades in.
    static constexpr double slideDistance = 24;
    static constexpr Seconds showDuration{0.18};
    static constexpr Seconds hideDuration{0.12};
    // The slide's timing curve.
    static QEasingCurve showCurve();
    // How long the window in front may take to get the keyboard back before the paste is dropped.
    static constexpr Seconds focusTimeout{1.0};
    static constexpr Seconds keyboardHoldLimit = StripKeyboard::holdLimit;
    // How long after the strip has gone, or what it shows changed while hidden, it is painted for
    // its next opening: changes that come together are painted once.
    static constexpr Seconds paintAheadDelay{0.05};

    struct Services {
        Settings& settings;
        Scheduler& scheduler;
        ClipboardHistory& history;
        Screens& screens;
        PanelWindowing& windowing;
        PasteKeystroke& paste;
        Animator& animator;
        StatusItems& statusItems;
        // The picture of a program by its bundle id.
        std::function<std::optional<QIcon>(const QString&)> sourceIcon;
        // The display text of the strip's shortcut (its default's when the user removed it).
        std::function<QString()> shortcutText;
        // Holds the keyboard while the strip opens; none holds nothing.
        HotKeys* hotKeys = nullptr;
        // Where pictures' previews are decoded; without one, on the main thread as cards are made.
        Executor* pictures = nullptr;
        // Tells of clicks in other programs, which close the strip; without it none does.
        EventMonitors* monitors = nullptr;
    };

    explicit ClipboardPanelController(Services services);
    ~ClipboardPanelController() override;

    // Adds or removes the "clipboard" status item to match the settings.
    void updateStatusItem();
    bool hasStatusItem() const;
    // The status item's click and the shortcut: shows the strip, or hides it when it shows.
    void statusClicked();
    void show();
    void hide();
    void choose(const ClipItem& item);
    // The strip's keys (Qt key codes): Return and Enter choose, Escape hides, the arrows move the
    // selection. False for every other key, which goes on to the search field.
    bool handleKey(int key);

    bool isShown() const;
    FilePanel* panel() const { return m_panel; }
    ClipboardView* view() const { return m_view; }
    ClipboardPanelModel& model() { return m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installMonitors();
    void removeMonitors();
    void pasteWhenFocused(uint32_t window, Instant since);
    // Something the strip shows changed: a picture of it painted ahead is old.
    void stripContentChanged();
    // Paints the hidden strip as its next opening shows it, so that the opening only maps it.
    void paintWhileHiddenSoon();
    void paintWhileHidden();

    Services m_services;
    ClipboardPanelModel m_model;
    // Outlives each opening's view, so that pictures are decoded once.
    ClipPreviews m_previews;
    QPointer<FilePanel> m_panel;
    std::unique_ptr<PanelMotion> m_motion;
    QPointer<ClipboardView> m_view;
    bool m_monitoring = false;
    std::optional<quint64> m_clickMonitor;
    TimerHandle m_pasteTimer;
    TimerHandle m_paintWhileHidden;
    StripKeyboard m_keyboard;
};

} // namespace corvane
