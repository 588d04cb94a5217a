#pragma once

#include "runtime/Scheduler.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace corvane {

class X11Connection;

// Pastes a text into a program that pastes from the keyboard only the primary selection: the
// text is lent to the primary selection for that one paste, and once the program has taken it
// (or after `returnLimit`) what the selection held before comes back: its text, offered by this
// program from then on, or no selection at all when there was none. The text held before is read
// first, from a connection of its own, without waiting; an owner that does not answer within
// `answerLimit` counts as holding nothing. Main thread only.
class X11PrimaryLoan final : public QObject {
    Q_OBJECT
public:
    static constexpr Seconds answerLimit{0.25};
    static constexpr Seconds returnLimit{2.0};

    X11PrimaryLoan(Scheduler& scheduler, const QByteArray& displayName);
    ~X11PrimaryLoan() override;

    // Lends `text` and calls `pressKeys` once it is the primary selection.
    void paste(const QString& text, std::function<void()> pressKeys);

private:
    void readEvents();
    void lend(std::optional<QString> before);
    void giveBack();

    Scheduler& m_scheduler;
    std::unique_ptr<X11Connection> m_x;
    QSocketNotifier* m_notifier = nullptr;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_utf8 = XCB_ATOM_NONE;
    // The paste waiting for the text held before.
    std::optional<std::pair<QString, std::function<void()>>> m_waiting;
    TimerHandle m_answerTimer;
    // While a text is lent: what comes back then.
    std::optional<std::optional<QString>> m_before;
    TimerHandle m_returnTimer;
    // The lent content as the toolkit holds it; it tells of the program taking it.
    const QObject* m_lent = nullptr;
};

} // namespace corvane
