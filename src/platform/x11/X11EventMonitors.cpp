#include "platform/x11/X11EventMonitors.h"

#include "platform/x11/X11KeyGrab.h"
#include "platform/x11/X11RawInput.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

namespace corvane {

namespace {
constexpr quint64 keyMask = EventMask::keyDown | EventMask::keyUp | EventMask::flagsChanged;
constexpr quint64 buttonMask = EventMask::leftMouseDown | EventMask::rightMouseDown;
} // namespace

X11EventMonitors::X11EventMonitors(const QByteArray& displayName)
    : m_raw(std::make_unique<X11RawInput>(displayName)), m_grab(std::make_unique<X11KeyGrab>(displayName)) {
    m_raw->onKey = [this](xcb_keycode_t keycode, bool pressed) { rawKey(keycode, pressed); };
    m_raw->onMotion = [this](QPointF location) {
        m_monitors.deliver(Scope::global, MonitoredEvent{MonitoredEvent::Type::mouseMoved, std::nullopt,
                                                         m_globalKeys.flags(), location});
    };
    m_raw->onButtonPress = [this](uint8_t button) { rawButton(button); };
    m_raw->onKeymapChanged = [this] { keymapChanged(); };
}

X11EventMonitors::~X11EventMonitors() {
    if (m_filtering)
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
}

std::optional<EventMonitors::Handle> X11EventMonitors::addGlobalMonitor(quint64 mask, Handler handler) {
    if (!m_raw->isValid())
        return std::nullopt;
    const Handle handle = m_monitors.add(Scope::global, mask, std::move(handler));
    updateSources();
    return handle;
}

std::optional<EventMonitors::Handle> X11EventMonitors::addLocalMonitor(quint64 mask, Handler handler) {
    if (!QCoreApplication::instance())
        return std::nullopt;
    const Handle handle = m_monitors.add(Scope::local, mask, std::move(handler));
    updateSources();
    return handle;
}

void X11EventMonitors::removeMonitor(Handle handle) {
    m_monitors.remove(handle);
    updateSources();
}

void X11EventMonitors::updateSources() {
    const bool keys = m_monitors.isWatched(Scope::global, keyMask);
    const bool motion = m_monitors.isWatched(Scope::global, EventMask::pointerMoved);
    if (keys && !m_readingKeys)
        seedHeldKeys(m_globalKeys);
    m_readingKeys = keys;
    m_raw->select(keys, motion, m_monitors.isWatched(Scope::global, buttonMask));

    const bool filtering = m_monitors.count(Scope::local) > 0;
    if (filtering == m_filtering)
        return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (filtering) {
        seedHeldKeys(m_localKeys);
        app->installEventFilter(this);
    } else {
        app->removeEventFilter(this);
    }
    m_filtering = filtering;
}

void X11EventMonitors::seedHeldKeys(ModifierKeyState& keys) {
    keys.clear();
    for (xcb_keycode_t keycode : m_raw->pressedKeys()) {
        const std::optional<qint64> code = m_raw->keyCode(keycode);
        if (code && ModifierKeyState::flagOf(*code))
            keys.press(code, {});
    }
}

void X11EventMonitors::rawKey(uint8_t keycode, bool pressed) {
    if (!m_readingKeys)
        return;
    const std::optional<qint64> code = m_raw->keyCode(keycode);
    if (!pressed) {
        m_monitors.deliver(Scope::global, m_globalKeys.release(code, m_raw->lastPointer()));
        return;
    }
    if (const auto event = m_globalKeys.press(code, m_raw->lastPointer()))
        m_monitors.deliver(Scope::global, *event);
}

void X11EventMonitors::rawButton(uint8_t button) {
    const auto type =
        button == 1 ? MonitoredEvent::Type::leftMouseDown : MonitoredEvent::Type::rightMouseDown;
    if (!m_monitors.isWatched(Scope::global, EventMonitorList::maskOf(type)))
        return;
    m_monitors.deliver(Scope::global, MonitoredEvent{type, std::nullopt, m_globalKeys.flags(),
                                                     m_raw->lastPointer(), pointerOverOwnWindow()});
}

bool X11EventMonitors::pointerOverOwnWindow() {
    const std::vector<xcb_window_t>& under = m_raw->lastWindows();
    if (under.empty())
        return false;
    std::vector<xcb_window_t> managed;
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (!window->handle() || !window->isVisible())
            continue;
        const auto id = static_cast<xcb_window_t>(window->winId());
        if (std::find(under.begin(), under.end(), id) != under.end())
            return true;
        // A window the window manager leaves alone (the strip, menus, a tray icon in another
        // program's tray) counts only where it is itself.
        if (window->isTopLevel() && !(window->flags() & Qt::BypassWindowManagerHint) &&
            window->type() != Qt::Popup && window->type() != Qt::ToolTip)
            managed.push_back(id);
    }
    // The title bar and borders the window manager puts around a window of ours are that window's.
    return std::any_of(managed.begin(), managed.end(),
                       [&](xcb_window_t id) { return m_raw->rootChildOf(id) == under.front(); });
}

quint64 X11EventMonitors::currentModifierFlags() {
    ModifierKeyState held;
    seedHeldKeys(held);
    return held.flags();
}

void X11EventMonitors::setFunctionKeyReserved(bool reserved) {
    m_functionKeyReserved = reserved;
    m_grab->grab(reserved ? m_raw->functionKey() : std::nullopt, m_raw->numLockMask());
}

void X11EventMonitors::keymapChanged() {
    if (m_functionKeyReserved && m_grab->grabbedKey() != m_raw->functionKey())
        setFunctionKeyReserved(true);
}

bool X11EventMonitors::eventFilter(QObject* watched, QEvent* event) {
    // Qt hands an input event to the native window first and then to its widgets: taking it at
    // the window sees each event once.
    if (!watched || !watched->isWindowType())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        std::optional<qint64> code;
        if (key->nativeScanCode() > 0 && key->nativeScanCode() <= 255)
            code = m_raw->keyCode(static_cast<xcb_keycode_t>(key->nativeScanCode()));
        if (event->type() == QEvent::KeyRelease) {
            // A held key repeats as release and press pairs; the repeats' releases mean nothing.
            if (!key->isAutoRepeat())
                m_monitors.deliver(Scope::local, m_localKeys.release(code, m_raw->lastPointer()));
        } else if (const auto monitored = m_localKeys.press(code, m_raw->lastPointer())) {
            m_monitors.deliver(Scope::local, *monitored);
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        m_monitors.deliver(Scope::local, MonitoredEvent{MonitoredEvent::Type::mouseMoved, std::nullopt,
                                                        m_localKeys.flags(), mouse->globalPosition()});
        break;
    }
    default:
        break;
    }
    // Monitors only look: the event always goes on.
    return false;
}

} // namespace corvane
