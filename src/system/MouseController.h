#pragma once

#include <QObject>
#include <QString>

#include <map>

namespace corvane {

class PointerDevices;
class Settings;
class UserDefaults;

// Gives the mouse its own scroll direction, apart from the touchpad's, by setting each mouse's
// own natural-scrolling setting: "standard" turns it off, "natural" turns it on, "system" gives
// every mouse back the value it had before Corvane changed it. Touchpads are never touched. Mice
// plugged in later get the chosen direction as they appear.
//
// The setting lives in the display server and outlives this process, so the values found before
// the first change are stored at once and given back when the direction returns to "system", at
// quit, and at the next launch after a crash.
//
// The driver flips both axes together: sideways scrolling always follows the wheel's direction,
// whatever `reverseMouseHorizontal` says.
class MouseController : public QObject {
    Q_OBJECT
public:
    MouseController(Settings& settings, PointerDevices& devices, UserDefaults& defaults);
    ~MouseController() override;
    // The most recently created controller.
    static MouseController* current();

    // Brings every mouse to the direction the preferences ask for.
    void apply();
    // Gives every mouse its original value back and forgets the record; at quit.
    void restoreOriginals();

    // Some attached mouse has a scroll direction of its own to set.
    bool isAvailable() const;
    // The touchpad's own direction; a machine without a touchpad that says counts as natural.
    bool touchpadScrollsNaturally() const;
    // The values kept for restoring, by device name.
    const std::map<QString, bool>& originals() const { return m_originals; }

Q_SIGNALS:
    // Devices came or went; what the page shows may have changed.
    void devicesChanged();

private:
    void saveOriginals();

    Settings& m_settings;
    PointerDevices& m_devices;
    UserDefaults& m_defaults;
    std::map<QString, bool> m_originals;
};

} // namespace corvane
