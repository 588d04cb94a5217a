#pragma once

#include "platform/Accessibility.h"

#include <QRectF>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace corvane {

// The attributes of one window that a test can make unreadable.
enum class FakeAXAttribute { position, size, title, minimized, subrole };

// One window of a scripted program. Tests build these and may change them later through
// FakeAccessibility::window().
struct FakeAXWindow {
    uint32_t number = 0; // what windowNumber() answers when readable (0 included)
    QRectF frame;
    QString title;
    bool minimized = false;
    std::optional<QString> subrole = axStandardWindowSubrole;
    bool numberReadable = true;
    bool hasCloseButton = true;
    // Answers other than `ok` for single attributes (noValue, wrongKind or failed).
    std::map<FakeAXAttribute, AXStatus> attributeStatus;
    // How many of the next position / size writes the program refuses; -1 refuses all.
    int refusePositionWrites = 0;
    int refuseSizeWrites = 0;

    uint64_t handle = 0; // set by FakeAccessibility
};

// One scripted program.
struct FakeAXProgram {
    // How the window list answers; noValue and wrongKind still mean "the program replied".
    AXStatus windowsStatus = AXStatus::ok;
    std::vector<FakeAXWindow> windows;
    std::optional<uint32_t> focusedWindow; // window numbers
    std::optional<uint32_t> mainWindow;
    // Unavailable unless a test says otherwise, as on the X11 desktop.
    AXRead<bool> enhancedUserInterface = AXRead<bool>::failure(AXStatus::noValue);
    bool bringToFrontSucceeds = true;
};

// An in-memory desktop of programs and their windows. It answers reads from the scripted state,
// applies accepted writes to it, and records every write attempt in order, one line each:
// "size 1 100x200", "position 1 10,20", "minimized 1 false", "enhanced 7 false", "main 1",
// "raise 1", "close 1", "front 7 1" (windows by number, the program by pid).
class FakeAccessibility final : public Accessibility {
public:
    // --- Scripting. ---
    FakeAXProgram& addProgram(int32_t pid, std::vector<FakeAXWindow> windows = {});
    // Adds a window at the end of the program's list (the program is made if missing). The reference
    // holds until that list changes; look a window up again with window() after that.
    FakeAXWindow& addWindow(int32_t pid, FakeAXWindow window);
    FakeAXProgram* program(int32_t pid);
    // The first window of the program with this number, or none.
    FakeAXWindow* window(int32_t pid, uint32_t number);
    // The window goes away; handles to it then answer `failed`.
    void removeWindow(int32_t pid, uint32_t number);
    void removeProgram(int32_t pid);

    // Called at the start of every window-list read (to advance a clock for a slow program, or to
    // change the desktop mid-sweep).
    std::function<void(int32_t pid)> onWindowsRead;
    // Which program is in front; the desktop's fake of running programs answers it.
    std::function<std::optional<int32_t>()> frontProgram;
    // Called before every attribute read of a window (to make it vanish mid-read).
    std::function<void(const AXElement& window, FakeAXAttribute attribute)> onAttributeRead;

    const std::vector<QString>& writes() const { return m_writes; }
    void clearWrites() { m_writes.clear(); }
    std::optional<Seconds> messagingTimeout() const { return m_timeout; }
    int windowListReads(int32_t pid) const;

    // --- Accessibility. ---
    void setMessagingTimeout(Seconds timeout) override { m_timeout = timeout; }
    AXRead<std::vector<AXElement>> windows(int32_t pid) override;
    AXRead<AXElement> focusedWindow(int32_t pid) override;
    AXRead<AXElement> mainWindow(int32_t pid) override;
    AXRead<AXElement> frontWindow() override;
    std::optional<uint32_t> windowNumber(const AXElement& window) override;
    AXRead<QPointF> position(const AXElement& window) override;
    AXRead<QSizeF> size(const AXElement& window) override;
    AXRead<QString> title(const AXElement& window) override;
    AXRead<bool> minimized(const AXElement& window) override;
    AXRead<QString> subrole(const AXElement& window) override;
    AXRead<bool> enhancedUserInterface(int32_t pid) override;
    bool setEnhancedUserInterface(int32_t pid, bool on) override;
    bool setPosition(const AXElement& window, QPointF origin) override;
    bool setSize(const AXElement& window, QSizeF size) override;
    bool setMinimized(const AXElement& window, bool minimized) override;
    bool setMain(const AXElement& window) override;
    bool raise(const AXElement& window) override;
    bool close(const AXElement& window) override;
    bool bringToFront(int32_t pid, uint32_t windowNumber) override;

private:
    FakeAXWindow* byHandle(const AXElement& element);
    FakeAXWindow* readable(const AXElement& element, FakeAXAttribute attribute, AXStatus& status);
    AXRead<AXElement> elementFor(int32_t pid, std::optional<uint32_t> number);
    void record(QString line) { m_writes.push_back(std::move(line)); }

    std::map<int32_t, FakeAXProgram> m_programs;
    std::map<int32_t, int> m_listReads;
    std::vector<QString> m_writes;
    std::optional<Seconds> m_timeout;
    uint64_t m_nextHandle = 1;
};

} // namespace corvane
