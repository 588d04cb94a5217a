#pragma once

#include "runtime/Scheduler.h"

#include <QPointer>

namespace corvane {

class FilePanel;
class HotKeys;

// The strip's keyboard, from its hot key to its closing: the one place that holds what is typed
// while the strip opens, hands the keyboard to the strip, and gives it back to the program in
// front. The controller tells it what happens to the strip; the hot keys hold the keys in the
// server (`HotKeys::holdKeyboard`), and the panel asks the desktop for the keyboard. Main thread
// only.
class StripKeyboard {
public:
    // How long keys typed while the strip opens wait for it to get the keyboard; after that they
    // go to the strip all the same, and the hold waits no longer.
    static constexpr Seconds holdLimit{1.0};

    // Without hot keys nothing is held.
    StripKeyboard(HotKeys* hotKeys, Scheduler& scheduler);
    // Drops what is held.
    ~StripKeyboard();
    StripKeyboard(const StripKeyboard&) = delete;
    StripKeyboard& operator=(const StripKeyboard&) = delete;

    // The strip begins to open (for `strip`, which may not be made yet): every key typed from now
    // on is the strip's. Call before anything else the opening does.
    void opening();
    // The panel that shows the strip, once it is made.
    void setStrip(FilePanel* strip) { m_strip = strip; }
    // The strip's picture is on the screen: it asks for the keyboard, and what is typed goes to
    // it until it has it.
    void onScreen();
    // The toolkit counts the strip active, or no longer (another program took the keyboard).
    void activated();
    void deactivated();
    // The strip closes: what is held for it is dropped, and a strip with the keyboard gives it
    // back to the program that was in front.
    void closing();
    // The strip opens nowhere: what is held is dropped.
    void cancel();

private:
    void release(bool toStrip);

    HotKeys* m_hotKeys;
    Scheduler& m_scheduler;
    QPointer<FilePanel> m_strip;
    bool m_holding = false;
    // Until the limit: a hold released to the strip may still wait for it to get the keyboard.
    TimerHandle m_limit;
    // The strip asked for the keyboard in this opening and has not lost it to another program.
    bool m_asked = false;
};

} // namespace corvane
