#include "clipboard/StripKeyboard.h"

#include "platform/HotKeys.h"
#include "shelf/FilePanel.h"

namespace corvane {

StripKeyboard::StripKeyboard(HotKeys* hotKeys, Scheduler& scheduler)
    : m_hotKeys(hotKeys), m_scheduler(scheduler) {}

StripKeyboard::~StripKeyboard() {
    cancel();
}

void StripKeyboard::opening() {
    // A strip already in front with the keyboard has nothing to wait for.
    if (!m_hotKeys || m_holding || (m_strip && m_strip->isVisible() && m_strip->isActiveWindow()))
        return;
    m_hotKeys->holdKeyboard();
    m_holding = true;
    m_limit = m_scheduler.schedule(holdLimit, [this] {
        // A strip that never showed on the screen (all of it covered) has not asked for the keyboard.
        const bool shown = m_strip && m_strip->isVisible();
        if (m_holding && shown && !m_strip->isActiveWindow()) {
            m_strip->makeKeyWindow();
            m_asked = true;
        }
        // Released to the strip already, the hold may still wait for the strip to get the
        // keyboard: asked again, it waits no longer.
        m_holding = false;
        m_hotKeys->releaseKeyboard(shown ? static_cast<quint64>(m_strip->winId()) : 0);
    });
}

void StripKeyboard::onScreen() {
    if (!m_strip)
        return;
    m_strip->makeKeyWindow();
    m_asked = true;
    // The hold goes on, handing what is typed to the strip, until the strip has the keyboard.
    release(true);
}

void StripKeyboard::activated() {
    // The strip has the keyboard: what was typed while it opened is its own.
    release(true);
}

void StripKeyboard::deactivated() {
    m_asked = false;
}

void StripKeyboard::closing() {
    release(false);
    if (!m_strip || !m_strip->isVisible())
        return;
    // The keyboard goes back to the program that had it; no window manager hands it on from a
    // window it does not manage. That is also for a strip closed by a key it was handed before the
    // toolkit counted it active. A strip that lost the keyboard to a click elsewhere leaves it.
    const bool hasKeyboard = m_strip->isActiveWindow() || m_asked;
    m_asked = false;
    if (hasKeyboard)
        m_strip->giveKeyboardBack();
}

void StripKeyboard::cancel() {
    release(false);
}

void StripKeyboard::release(bool toStrip) {
    if (!m_hotKeys)
        return;
    if (!m_holding) {
        // A strip closing while the hold still waits for it to get the keyboard ends the wait.
        if (!toStrip && m_limit.isValid()) {
            m_limit.invalidate();
            m_hotKeys->releaseKeyboard(0);
        }
        return;
    }
    m_holding = false;
    if (!toStrip)
        m_limit.invalidate();
    const quint64 window = toStrip && m_strip ? static_cast<quint64>(m_strip->winId()) : 0;
    m_hotKeys->releaseKeyboard(window);
}

} // namespace corvane
