#include "platform/x11/X11PrimaryLoan.h"

#include "platform/x11/X11Connection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QSocketNotifier>

namespace corvane {

namespace {

// The lent text, which tells when the toolkit hands it to the program that asked for it.
class LentText final : public QMimeData {
public:
    LentText(const QString& text, std::function<void()> taken) : m_taken(std::move(taken)) { setText(text); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (m_taken)
            m_taken();
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    std::function<void()> m_taken;
};

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    X11Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

X11PrimaryLoan::X11PrimaryLoan(Scheduler& scheduler, const QByteArray& displayName)
    : m_scheduler(scheduler), m_x(std::make_unique<X11Connection>(displayName, X11Atoms::none)) {
    if (!m_x->isValid())
        return;
    xcb_connection_t* c = m_x->raw();
    m_window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, m_x->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    m_property = internAtom(c, "CORVANE_PRIMARY_BEFORE");
    m_utf8 = internAtom(c, "UTF8_STRING");
    m_x->flush();
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11PrimaryLoan::readEvents);
}

X11PrimaryLoan::~X11PrimaryLoan() {
    delete m_notifier;
}

void X11PrimaryLoan::paste(const QString& text, std::function<void()> pressKeys) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // A text already lent: what comes back stays what was there before the first.
    if (m_before || !m_x->isValid()) {
        m_waiting = {text, std::move(pressKeys)};
        lend(m_before.value_or(std::nullopt));
        return;
    }
    m_waiting = {text, std::move(pressKeys)};
    if (clipboard->ownsSelection()) {
        const QMimeData* held = clipboard->mimeData(QClipboard::Selection);
        lend(held && held->hasText() ? std::optional<QString>(held->text()) : std::nullopt);
        return;
    }
    xcb_connection_t* c = m_x->raw();
    X11Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, XCB_ATOM_PRIMARY), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        lend(std::nullopt);
        return;
    }
    xcb_convert_selection(c, m_window, XCB_ATOM_PRIMARY, m_utf8, m_property, XCB_CURRENT_TIME);
    m_x->flush();
    m_answerTimer = m_scheduler.schedule(answerLimit, [this] { lend(std::nullopt); });
}

void X11PrimaryLoan::readEvents() {
    xcb_connection_t* c = m_x->raw();
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        const std::unique_ptr<xcb_generic_event_t, X11FreeReply> owned(event);
        if (x11EventType(*event) != XCB_SELECTION_NOTIFY || !m_waiting || m_before)
            continue;
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (notify->requestor != m_window || notify->selection != XCB_ATOM_PRIMARY)
            continue;
        std::optional<QString> before;
        if (notify->property != XCB_ATOM_NONE) {
            // A text too large for one answer comes in parts; it is not read and does not come back.
            const std::optional<X11Property> answer =
                m_x->property(m_window, m_property, XCB_ATOM_ANY, 1 << 22);
            if (answer && answer->type == m_utf8 && answer->format == 8)
                before = QString::fromUtf8(answer->data);
            xcb_delete_property(c, m_window, m_property);
            m_x->flush();
        }
        lend(before);
    }
}

void X11PrimaryLoan::lend(std::optional<QString> before) {
    m_answerTimer.invalidate();
    if (!m_waiting)
        return;
    auto [text, pressKeys] = std::move(*m_waiting);
    m_waiting.reset();
    m_before = std::move(before);
    QPointer<X11PrimaryLoan> self(this);
    auto* lent = new LentText(text, [self] {
        // Handed over inside the toolkit's answer: given back once that is on its way.
        if (self)
            QMetaObject::invokeMethod(self, &X11PrimaryLoan::giveBack, Qt::QueuedConnection);
    });
    m_lent = lent;
    // The toolkit owns the selection once this returns: the keys pressed next ask it.
    QGuiApplication::clipboard()->setMimeData(lent, QClipboard::Selection);
    m_returnTimer = m_scheduler.schedule(returnLimit, [this] { giveBack(); });
    pressKeys();
}

void X11PrimaryLoan::giveBack() {
    if (!m_before)
        return;
    const std::optional<QString> before = *m_before;
    m_before.reset();
    m_returnTimer.invalidate();
    QClipboard* clipboard = QGuiApplication::clipboard();
    // A selection made meanwhile stays.
    if (!clipboard->ownsSelection() || clipboard->mimeData(QClipboard::Selection) != m_lent)
        return;
    m_lent = nullptr;
    if (before)
        clipboard->setText(*before, QClipboard::Selection);
    else
        clipboard->clear(QClipboard::Selection);
}

} // namespace corvane
