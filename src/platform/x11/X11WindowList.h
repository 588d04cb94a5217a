#pragma once

#include "platform/WindowList.h"
#include "platform/x11/X11ProgramIdentity.h"
#include "platform/x11/X11WindowState.h"

#include <QHash>

#include <memory>
#include <mutex>
#include <vector>

namespace corvane {

// The window manager's stacking list of client windows, front to back, keeping those shown on
// the current desktop (or on all), as the window state holds them. Callable from any thread.
class X11WindowList final : public WindowList {
public:
    explicit X11WindowList(std::shared_ptr<X11WindowState> state);
    ~X11WindowList() override;

    std::vector<WindowListEntry> onScreenWindows() override;
    std::optional<QRectF> activeFullscreenFrame() override;
    void watchActiveWindow(std::function<void()> changed) override;
    std::optional<uint64_t> changeCount() override;

private:
    // The owner's name of a window, kept until its process or identity is read again.
    struct Owner {
        uint64_t identityVersion = 0;
        QString name;
    };
    QString ownerOf(const X11HeldWindow& window);
    // The name of a process without a desktop entry, kept while it has windows listed.
    QString processName(int32_t pid);

    std::shared_ptr<X11WindowState> m_state;
    std::mutex m_mutex;
    X11ProgramIdentities m_identities;
    QHash<xcb_window_t, Owner> m_owners;
    QHash<int32_t, QString> m_processNames;
};

} // namespace corvane
