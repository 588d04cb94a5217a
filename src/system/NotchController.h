#pragma once

#include "runtime/Cancellation.h"
#include "runtime/Scheduler.h"
#include "system/LevelStepping.h"
#include "system/NotchModel.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

class Animator;

class Backlight;
class FloatingPanel;
class PanelWindowing;
class Screens;
class Settings;
class SoundOutput;

// The volume and brightness display that grows out of the notch (on screens without one, out of
// a band at the top centre), the keep-awake pill beside the notch, and the media keys that drive
// the display. Main thread, but for the keys, which are served where they are delivered.
class NotchController : public QObject {
    Q_OBJECT
public:
    // Delivers the media keys: true when the key was served and goes no further.
    using KeyHandler = std::function<bool(MediaKey key, bool pressed, bool fine)>;

    struct Services {
        Settings& settings;
        Screens& screens;
        Scheduler& scheduler;
        PanelWindowing& windowing;
        Animator& animator;
        SoundOutput& sound;
        Backlight& backlight;
        std::function<bool()> accessibilityTrusted;
        // Takes exactly these keys from other programs and delivers them to the handler (on
        // another thread); false when they cannot be taken. An empty list releases them.
        std::function<bool(const std::vector<MediaKey>& keys, KeyHandler handler)> grabMediaKeys;
        // Keeping awake, for the pill: whether it is on and until when.
        std::function<bool()> awakeActive;
        std::function<std::optional<QDateTime>()> awakeEndDate;
    };

    // What the display was last asked to show.
    struct ShownHUD {
        NotchModel::Kind kind;
        bool muted;
        float level;
        Seconds duration;
    };

    static constexpr Seconds keyDuration{1.5};
    static constexpr Seconds previewDuration{6.0};
    static constexpr Seconds foldDuration{0.35};

    explicit NotchController(Services services, QObject* parent = nullptr);
    ~NotchController() override;

    // Loads the steps, takes the media keys when the display is on and the pill's state.
    void start();
    void loadStepSettings();
    // Takes the keys that can be served now (volume with a sound server, brightness with a
    // panel); a key nothing can serve stays with whoever else wants it. Until `removeTap`, the
    // volume keys follow the sound server coming and going.
    void installTap();
    void removeTap();
    // The rule every caller applies: the display on and window access granted.
    void updateTap();

    void showHUD(NotchModel::Kind kind, bool muted, float level, Seconds duration);
    // From the key thread: shows on the main thread.
    void showFromKeys(const LevelReport& report);
    void screenParametersChanged();
    // Shows, places or hides the pill; also the observer of keeping awake and its setting.
    void refreshPanels();
    void updatePill(double baselineSeconds, bool indefinite);

    NotchModel& model() { return m_model; }
    FloatingPanel* hudPanel() const;
    FloatingPanel* pillPanel() const;
    const std::optional<ShownHUD>& lastHUD() const { return m_lastHUD; }
    bool isTapInstalled() const { return !m_grabbedKeys.empty(); }
    const std::vector<MediaKey>& grabbedKeys() const { return m_grabbedKeys; }
    const LevelSteps& steps() const { return m_steps; }
    // Serves one key as the grab delivers it; any thread.
    bool handleMediaKey(MediaKey key, bool pressed, bool fine);

private:
    FloatingPanel* makeHUDPanel(const QRectF& anchor);
    FloatingPanel* makePillPanel(const QRectF& notch);
    // Folds the display `m_hideDuration` after the last show, and takes it off a fold later.
    QCoro::Task<void> hideLater(CancellationToken token);
    void releaseKeys();

    Services m_services;
    NotchModel m_model;
    LevelSteps m_steps;
    std::unique_ptr<FloatingPanel> m_hudPanel;
    std::unique_ptr<FloatingPanel> m_pillPanel;
    TaskSlot m_hideTask;
    Seconds m_hideDuration{0};
    TimerHandle m_foldTimer;
    TimerHandle m_pillTimer;
    std::vector<MediaKey> m_grabbedKeys;
    // Between `installTap` and `removeTap`, whether or not any key can be served right now.
    bool m_tapWanted = false;
    std::optional<ShownHUD> m_lastHUD;
};

} // namespace corvane
