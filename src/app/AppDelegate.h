#pragma once

namespace corvane {

class AppState;

// Where the process lifecycle meets the rest of the product: start-up once the event loop runs,
// a second launch turned into opening the settings window, and the ordered writes at quit.
class AppDelegate {
public:
    explicit AppDelegate(AppState& state) : m_state(state) {}

    void applicationDidFinishLaunching();
    // Another launch of the program while this one runs: the settings window comes forward on
    // the tab it last showed.
    void applicationShouldHandleReopen();
    void applicationWillTerminate();
    // The process ends without the event loop returning (the display connection broke): only the
    // files are written, and nothing may talk to the display. Does nothing after a quit.
    void applicationLostDisplay();

    // A login launch: started by the autostart entry ("-launchedAtLogin YES"), or within two
    // minutes of the machine booting.
    bool wasLaunchedAsLoginItem() const;

private:
    AppState& m_state;
    bool m_terminated = false;
};

} // namespace corvane
