#pragma once

#include "platform/Pasteboard.h"
#include "runtime/Scheduler.h"

#include <QByteArray>
#include <QHash>
#include <QMetaObject>
#include <QSet>

#include <xcb/xcb.h>

#include <list>
#include <memory>
#include <optional>
#include <vector>

class QObject;
class QSocketNotifier;

namespace corvane {

class X11Connection;

// The CLIPBOARD selection, on a connection of its own. The change count counts the server's
// selection-owner notifications (XFixes), so a program that copies twice from the same window
// still counts twice, and each one is reported as it arrives. Reads ask the owner directly
// (ConvertSelection, large answers in INCR chunks) from a window of their own and never wait:
// the answers come in as events, and an owner that stays silent for `answerTimeout` ends its
// read empty-handed. Writes go through Qt's clipboard, which then serves the content. Without
// XFixes Qt's change signal is counted instead (and polled); without X, reads go to Qt.
class X11Pasteboard final : public Pasteboard {
public:
    // How long an owner may take for each answer (and each chunk of a large one).
    static constexpr Seconds answerTimeout{1.0};
    // However the chunks come, a read ends after this long.
    static constexpr Seconds readLimit{30.0};
    // What one read may bring in, all its types together. Far above any real copy (a screenshot
    // of an 8K screen is 133 MB as raw pixels, tens of MB as PNG); an owner that sends more costs
    // that read alone.
    static constexpr qsizetype sizeLimit = qsizetype(128) * 1024 * 1024;
    // The most types an offer may have; real owners offer a few dozen. An offer of more is
    // refused whole: a type past those looked at might be a marker that it is not to be recorded.
    static constexpr int typeLimit = 1024;
    // The longest list of types read, repeats included: four times `typeLimit` leaves room for an
    // owner that names a type more than once, and is 16 KiB, one small reply, walked at once. A
    // longer list refuses the offer without being taken in.
    static constexpr int typeListLimit = 4 * typeLimit;

    explicit X11Pasteboard(Scheduler& scheduler, const QByteArray& displayName = {});
    ~X11Pasteboard() override;

    qint64 changeCount() override;
    bool reportsChanges() const override { return m_xfixesEvent.has_value(); }
    void setChangeHandler(std::function<void(qint64 change)> handler) override;
    void read(TypePicker pick, ReadDone done) override;
    void cancelReads() override;
    void write(const std::vector<std::pair<QString, QByteArray>>& representations) override;

    // The reads not ended yet (their `done` may still wait for the event loop).
    size_t readsUnderWay() const { return m_reads.size(); }

private:
    struct Read;

    // With `bounded`, stops after a slice of time and comes back for the rest from the event loop.
    void dispatchEvents(bool bounded = false);
    // Whether an answer of this type and format is what the target asked for.
    bool answerFits(const Read& read, xcb_atom_t type, uint8_t format) const;
    void handleEvent(const xcb_generic_event_t& event);
    void requestTarget(Read& read, xcb_atom_t target);
    // Asks for the answer the owner has put on the read's window; its reply is taken as it comes.
    void takeAnswer(Read& read);
    void takeArrivedAnswers();
    void answered(Read& read, const xcb_get_property_reply_t* reply);
    void targetDone(Read& read, std::optional<QByteArray> bytes);
    void nextTarget(Read& read);
    void finish(Read& read, std::optional<PasteboardContent> content);
    void restartTimer(Read& read);
    xcb_atom_t intern(const QString& name);
    // The names of the offered types, each once, which the read keeps to check answers by; none
    // when there are more than `typeLimit`.
    std::optional<QStringList> atomNames(Read& read, const std::vector<uint32_t>& atoms);
    // Runs `done` from the event loop, unless the reads are cancelled first.
    void deliver(ReadDone done, std::optional<PasteboardContent> content);
    void readThroughQt(const TypePicker& pick, const ReadDone& done);

    Scheduler& m_scheduler;
    std::unique_ptr<X11Connection> m_x;
    std::unique_ptr<QObject> m_context;
    QSocketNotifier* m_notifier = nullptr;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_targets = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    std::optional<uint8_t> m_xfixesEvent;
    xcb_window_t m_watcher = XCB_WINDOW_NONE;
    qint64 m_changes = 0;
    std::function<void(qint64)> m_handler;
    std::list<std::unique_ptr<Read>> m_reads;
    QHash<xcb_atom_t, QString> m_atomNames;
    QHash<QString, xcb_atom_t> m_atoms;
    // The targets that carry plain text, known for good.
    QSet<xcb_atom_t> m_plainTextAtoms;
    // How often the reads were cancelled: a read's end handed over before a cancel is dropped.
    quint64 m_cancels = 0;
    bool m_dispatchQueued = false;
    QMetaObject::Connection m_qtChanges;
};

} // namespace corvane
