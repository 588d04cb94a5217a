#pragma once

#include "platform/EventMonitors.h"
#include "platform/KeyGrabs.h"
#include "runtime/Time.h"
#include "windows/WindowInfo.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <functional>
#include <optional>
#include <vector>

namespace corvane {

class Scheduler;
class Settings;
class SidebarController;
class WindowService;

// The keyboard window switcher. It has no view of its own: while it is open the strip shows
// (peeking) and the selected window's cell carries the selection border. Holding the shortcut's
// modifiers and pressing its key moves the selection on; releasing a modifier switches to the
// selected window; Escape or eight seconds close it without switching. A modifier let go before
// the switcher could watch it counts as released when it opens, so a quick tap switches to the
// next window (at once, the strip not shown, when the release came before the press was handled);
// a press while no window is listed yet only asks for the list, and shows nothing. While
// it is open it takes the keys it answers, Escape and the shortcut's own combination, from every
// other program: with the shortcut's modifier held, Escape is Alt+Escape, which window managers
// bind for themselves and programs act on. All other keys still reach their programs. Main
// thread only.
class SwitcherController : public QObject {
    Q_OBJECT
public:
    // The stored switcher shortcut, as the grabs and the modifier watch read it.
    struct Shortcut {
        // The key code and stored modifier bits (HotKeyModifier).
        KeyCombination key;
        // The same modifiers as event flags (EventModifier).
        quint64 modifierFlags = 0;
    };

    struct Services {
        WindowService& windows;
        const Settings& settings;
        SidebarController& sidebar;
        // None when the desktop offers no event monitoring: the switcher then closes only by
        // Escape through its own windows or by its timeout.
        EventMonitors* monitors = nullptr;
        // None when the desktop cannot take keys from other programs: Escape then reaches the
        // program in front too.
        KeyGrabs* keyGrabs = nullptr;
        Scheduler& scheduler;
        // Brings the chosen window to the front.
        std::function<void(const WindowInfo&)> focusWindow;
        // The stored switcher shortcut; none when no shortcut is stored.
        std::function<std::optional<Shortcut>()> shortcut;
    };

    // How long an opening stays open without a commit.
    static constexpr double timeoutSeconds = 8.0;
    // The key code of Escape.
    static constexpr qint64 escapeKeyCode = 53;

    explicit SwitcherController(Services services, QObject* parent = nullptr);
    ~SwitcherController() override;

    // The shortcut's key-down action: opens the switcher, or moves its selection to the next window.
    void advance();

    bool isActive() const { return m_active; }
    int index() const { return m_index; }
    const std::vector<WindowInfo>& list() const { return m_list; }
    int session() const { return m_session; }

    // The modifiers whose release commits: the stored shortcut's Control, Alt and Super; Alt
    // alone when no shortcut is stored. Shift never counts.
    static quint64 releaseMask(std::optional<quint64> shortcutModifiers);
    // What an opening takes from other programs: Escape with the shortcut's modifiers (and
    // without Shift, which may be let go meanwhile), and the shortcut itself. Alt+Escape when no
    // shortcut is stored.
    static std::vector<KeyCombination> answeredKeys(const std::optional<Shortcut>& shortcut);

private:
    // Opens on the windows listed now; false when there are none.
    bool open();
    quint64 currentReleaseMask() const;
    // Whether a modifier whose release commits is up now.
    bool modifierReleased() const;
    void installMonitors();
    void removeMonitors();
    void handleFlagsChanged(const MonitoredEvent& event);
    void handleKeyDown(const MonitoredEvent& event);
    void finish(bool commit);
    void showSelection();
    std::optional<Shortcut> currentShortcut() const;
    QCoro::Task<void> expire(int session);

    Services m_services;
    bool m_active = false;
    int m_index = 0;
    std::vector<WindowInfo> m_list;
    std::vector<EventMonitors::Handle> m_monitors;
    std::optional<KeyGrabs::Id> m_keyGrab;
    int m_session = 0;
};

} // namespace corvane
