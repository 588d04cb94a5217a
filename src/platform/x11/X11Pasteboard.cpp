#include "platform/x11/X11Pasteboard.h"

#include "platform/x11/X11Connection.h"
#include "runtime/Log.h"

#include <QByteArrayList>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSet>
#include <QSocketNotifier>

#include <xcb/xcbext.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstring>

namespace corvane {

namespace {

// The targets that carry plain text, best first; STRING is Latin-1.
const char* const plainTextTargets[] = {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING"};

bool isPlainTextTarget(const QString& name) {
    return name == QLatin1String("UTF8_STRING") || name == QLatin1String("STRING") ||
           name == QLatin1String("TEXT") || name.startsWith(QLatin1String("text/plain"));
}

// Atom names are remembered up to this many; past it the memory starts afresh, so owners that
// offer ever new names cannot grow it without end.
constexpr qsizetype atomNameCacheLimit = 8192;
// How long one turn of the event loop spends on the clipboard's events before it lets others run.
constexpr qint64 dispatchSliceMs = 10;

// What a read may still take in: the list of types within its own small bound, the content within
// the read's, which counts the list too.
qsizetype roomLeft(bool listingTypes, qsizetype received) {
    const qsizetype limit =
        listingTypes ? qsizetype(X11Pasteboard::typeListLimit) * 4 : X11Pasteboard::sizeLimit;
    return std::max<qsizetype>(limit - received, 0);
}

QClipboard* qtClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                        : nullptr;
}

} // namespace

struct X11Pasteboard::Read {
    xcb_window_t window = XCB_WINDOW_NONE;
    TypePicker pick;
    ReadDone done;
    PasteboardContent content;
    bool haveTypes = false;
    // The types still to fetch, the one being fetched and the targets left to try for it.
    QStringList wanted;
    QString type;
    QStringList targets;
    QString target;
    xcb_atom_t targetAtom = XCB_ATOM_NONE;
    // The names of the offered types, as the read found them: answers are checked against these,
    // never against the shared memory of names that another read may start afresh meanwhile.
    QHash<xcb_atom_t, QString> offered;
    // A large answer comes in chunks, of the type the owner announced with the first one. The
    // size announced is room taken at once, so that the chunks fill it without copying what came
    // before; chunks past it are kept apart and joined once at the end. One array grown chunk by
    // chunk would copy all it holds at each doubling: a quarter of a second near the size limit.
    bool incremental = false;
    QByteArray chunks;
    QByteArrayList moreChunks;
    xcb_atom_t answerType = XCB_ATOM_NONE;
    // All bytes taken in so far, the types' list included.
    qsizetype received = 0;
    // The request for the answer's property, while its reply is on its way.
    std::optional<unsigned int> asked;
    Instant started;
    TimerHandle timer;
};

X11Pasteboard::X11Pasteboard(Scheduler& scheduler, const QByteArray& displayName)
    : m_scheduler(scheduler), m_x(std::make_unique<X11Connection>(displayName, X11Atoms::none)),
      m_context(std::make_unique<QObject>()) {
    if (QClipboard* clipboard = qtClipboard())
        m_qtChanges =
            QObject::connect(clipboard, &QClipboard::changed, clipboard, [this](QClipboard::Mode mode) {
                // Only the fallback counts Qt's signal; with XFixes the server's notifications count.
                if (mode == QClipboard::Clipboard && !m_xfixesEvent)
                    ++m_changes;
            });
    if (!m_x->isValid())
        return;
    xcb_connection_t* c = m_x->raw();
    m_clipboard = intern(QStringLiteral("CLIPBOARD"));
    m_targets = intern(QStringLiteral("TARGETS"));
    m_incr = intern(QStringLiteral("INCR"));
    m_property = intern(QStringLiteral("CORVANE_SELECTION"));
    for (const char* name : plainTextTargets)
        m_plainTextAtoms.insert(intern(QLatin1String(name)));
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(c), QSocketNotifier::Read, m_context.get());
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_context.get(),
                     [this] { dispatchEvents(true); });

    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!extension || !extension->present)
        return;
    X11Reply<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    if (!version)
        return;
    // An unmapped window of our own hears of every new owner.
    m_watcher = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_watcher, m_x->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_xfixes_select_selection_input(c, m_watcher, m_clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    m_x->flush();
    m_xfixesEvent = extension->first_event;
}

X11Pasteboard::~X11Pasteboard() {
    // Qt's clipboard outlives this object.
    QObject::disconnect(m_qtChanges);
    if (!m_x->isValid())
        return;
    for (const auto& read : m_reads)
        xcb_destroy_window(m_x->raw(), read->window);
    if (m_watcher != XCB_WINDOW_NONE)
        xcb_destroy_window(m_x->raw(), m_watcher);
    m_x->flush();
}

xcb_atom_t X11Pasteboard::intern(const QString& name) {
    if (const auto it = m_atoms.constFind(name); it != m_atoms.constEnd())
        return *it;
    const QByteArray bytes = name.toLatin1();
    xcb_connection_t* c = m_x->raw();
    X11Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(bytes.size()), bytes.constData()), nullptr));
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    m_atoms.insert(name, atom);
    m_atomNames.insert(atom, name);
    return atom;
}

std::optional<QStringList> X11Pasteboard::atomNames(Read& read, const std::vector<uint32_t>& offered) {
    // No owner has a reason to offer thousands of types, and each name not yet known costs the
    // server a reply. An offer of more is not looked at in part: a type left out might be the
    // marker that keeps it from the history.
    std::vector<uint32_t> atoms;
    QSet<uint32_t> seen;
    for (uint32_t atom : offered) {
        if (atom == XCB_ATOM_NONE || seen.contains(atom))
            continue;
        if (int(atoms.size()) == typeLimit) {
            qCDebug(lcApp,
                    "The clipboard's owner offered more than %d types for one copy; nothing is recorded",
                    typeLimit);
            return std::nullopt;
        }
        seen.insert(atom);
        atoms.push_back(atom);
    }
    if (m_atomNames.size() > atomNameCacheLimit) {
        m_atomNames.clear();
        m_atoms.clear();
    }
    // Atoms never change their names: each is asked once, all unknown ones in one round trip.
    xcb_connection_t* c = m_x->raw();
    std::vector<std::pair<uint32_t, xcb_get_atom_name_cookie_t>> asked;
    for (uint32_t atom : atoms)
        if (!m_atomNames.contains(atom))
            asked.emplace_back(atom, xcb_get_atom_name(c, atom));
    for (const auto& [atom, cookie] : asked) {
        X11Reply<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(c, cookie, nullptr));
        const QString name = reply ? QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                                                         xcb_get_atom_name_name_length(reply.get()))
                                   : QString();
        m_atomNames.insert(atom, name);
        if (!name.isEmpty())
            m_atoms.insert(name, atom);
    }
    QStringList names;
    for (uint32_t atom : atoms) {
        const QString name = m_atomNames.value(atom);
        if (!name.isEmpty()) {
            names.append(name);
            read.offered.insert(atom, name);
        }
    }
    return names;
}

void X11Pasteboard::setChangeHandler(std::function<void(qint64)> handler) {
    m_handler = std::move(handler);
}

void X11Pasteboard::dispatchEvents(bool bounded) {
    if (!m_x->isValid())
        return;
    QElapsedTimer slice;
    slice.start();
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_x->raw())) {
        // A reply sent before the event was read with it: taken first, as the server sent them
        // (an owner's next chunk is announced only after the last was read).
        takeArrivedAnswers();
        handleEvent(*event);
        std::free(event);
        // An owner that answers as fast as it is asked keeps events coming: the rest waits for
        // the next turn of the event loop (the socket may be drained already, so it is asked for).
        if (bounded && slice.elapsed() >= dispatchSliceMs) {
            if (!std::exchange(m_dispatchQueued, true))
                QMetaObject::invokeMethod(
                    m_context.get(),
                    [this] {
                        m_dispatchQueued = false;
                        dispatchEvents(true);
                    },
                    Qt::QueuedConnection);
            return;
        }
    }
    takeArrivedAnswers();
}

qint64 X11Pasteboard::changeCount() {
    dispatchEvents();
    return m_changes;
}

void X11Pasteboard::handleEvent(const xcb_generic_event_t& event) {
    const uint8_t type = x11EventType(event);
    if (m_xfixesEvent && type == *m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
        const qint64 change = ++m_changes;
        // Heard after the call that brought the event in has returned (a write among them).
        QMetaObject::invokeMethod(
            m_context.get(),
            [this, change] {
                if (m_handler)
                    m_handler(change);
            },
            Qt::QueuedConnection);
        return;
    }
    if (type == XCB_SELECTION_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(event);
        for (const auto& read : m_reads) {
            if (read->window != notify.requestor || read->incremental)
                continue;
            if (notify.property == XCB_ATOM_NONE)
                targetDone(*read, std::nullopt); // refused, or nobody owns the clipboard
            else
                takeAnswer(*read);
            return;
        }
        return;
    }
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.atom != m_property || notify.state != XCB_PROPERTY_NEW_VALUE)
            return;
        for (const auto& read : m_reads)
            if (read->window == notify.window && read->incremental) {
                takeAnswer(*read);
                return;
            }
    }
}

void X11Pasteboard::read(TypePicker pick, ReadDone done) {
    if (!m_x->isValid()) {
        readThroughQt(pick, done);
        return;
    }
    xcb_connection_t* c = m_x->raw();
    auto read = std::make_unique<Read>();
    read->pick = std::move(pick);
    read->done = std::move(done);
    read->started = m_scheduler.now();
    // A window per read: the owner's answers name it, so overlapping reads never mix.
    read->window = xcb_generate_id(c);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, read->window, m_x->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    Read& started = *read;
    m_reads.push_back(std::move(read));
    requestTarget(started, m_targets);
}

void X11Pasteboard::requestTarget(Read& read, xcb_atom_t target) {
    read.targetAtom = target;
    xcb_convert_selection(m_x->raw(), read.window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
    m_x->flush();
    restartTimer(read);
}

void X11Pasteboard::restartTimer(Read& read) {
    const double left = X11Pasteboard::readLimit.count() - m_scheduler.elapsedSince(read.started).count();
    Read* target = &read;
    read.timer = m_scheduler.schedule(Seconds(std::min(answerTimeout.count(), std::max(left, 0.0))),
                                      [this, target] { finish(*target, std::nullopt); });
}

bool X11Pasteboard::answerFits(const Read& read, xcb_atom_t type, uint8_t format) const {
    if (!read.haveTypes)
        return format == 32 && (type == XCB_ATOM_ATOM || type == m_targets);
    if (format != 8)
        return false;
    // Text may come as any text type (STRING is then turned from Latin-1); all else as asked.
    return type == read.targetAtom || (read.type == QLatin1String("text/plain") && type != XCB_ATOM_NONE &&
                                       (m_plainTextAtoms.contains(type) ||
                                        read.offered.value(type).startsWith(QLatin1String("text/plain"))));
}

void X11Pasteboard::takeAnswer(Read& read) {
    if (read.asked)
        return; // the reply on its way reads the property as it is then
    xcb_connection_t* c = m_x->raw();
    // Reading with delete tells an owner that sends chunks to send the next one. No more than the
    // read may still take in is asked for: a longer value ends the read. The reply is taken when
    // it comes in, not waited for: a server kept busy (by the owner's chunks, or a loaded machine)
    // would hold the event loop for as long.
    const qsizetype room = roomLeft(!read.haveTypes, read.received);
    read.asked =
        xcb_get_property(c, 1, read.window, m_property, XCB_ATOM_ANY, 0, uint32_t(room / 4 + 1)).sequence;
    m_x->flush();
}

void X11Pasteboard::takeArrivedAnswers() {
    xcb_connection_t* c = m_x->raw();
    // Taking an answer may end reads or start others: look the reads up afresh after each.
    for (bool took = true; took;) {
        took = false;
        for (const auto& read : m_reads) {
            if (!read->asked)
                continue;
            void* reply = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (xcb_poll_for_reply(c, *read->asked, &reply, &error) == 0)
                continue;
            std::free(error);
            read->asked.reset();
            const X11Reply<xcb_get_property_reply_t> answer(static_cast<xcb_get_property_reply_t*>(reply));
            answered(*read, answer.get());
            took = true;
            break;
        }
    }
}

void X11Pasteboard::answered(Read& read, const xcb_get_property_reply_t* reply) {
    if (!reply) {
        targetDone(read, std::nullopt);
        return;
    }
    const qsizetype room = roomLeft(!read.haveTypes, read.received);
    // The value's length comes in bytes, whatever the format.
    const int length = xcb_get_property_value_length(reply);
    const auto overflows = [&](qsizetype more) {
        if (reply->bytes_after == 0 && more <= room)
            return false;
        if (read.haveTypes)
            qCDebug(lcApp, "The clipboard's owner sent more than %lld MiB for one copy; nothing is recorded",
                    static_cast<long long>(sizeLimit / (1024 * 1024)));
        else
            qCDebug(lcApp,
                    "The clipboard's owner listed more than %d types for one copy; nothing is recorded",
                    typeListLimit);
        finish(read, std::nullopt);
        return true;
    };
    if (reply->type == m_incr) {
        // Its value is the least the whole answer will take.
        const qsizetype announced =
            length >= 4 ? qsizetype(*static_cast<const uint32_t*>(xcb_get_property_value(reply))) : 0;
        if (overflows(announced))
            return;
        read.incremental = true;
        read.answerType = XCB_ATOM_NONE;
        read.chunks.clear();
        read.moreChunks.clear();
        read.chunks.reserve(announced);
        restartTimer(read);
        return;
    }
    if (overflows(length))
        return;
    if (read.incremental) {
        if (read.answerType == XCB_ATOM_NONE)
            read.answerType = reply->type;
        if (length > 0) {
            if (reply->type != read.answerType || !answerFits(read, reply->type, reply->format)) {
                read.incremental = false;
                targetDone(read, std::nullopt);
                return;
            }
            const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply));
            if (read.moreChunks.empty() && read.chunks.size() + length <= read.chunks.capacity())
                read.chunks.append(bytes, length);
            else
                read.moreChunks.emplace_back(bytes, length);
            read.received += length;
            restartTimer(read);
            return;
        }
        read.incremental = false;
        QByteArray whole = std::exchange(read.chunks, {});
        if (!read.moreChunks.empty()) {
            read.moreChunks.prepend(std::move(whole));
            whole = std::exchange(read.moreChunks, {}).join();
        }
        targetDone(read, std::move(whole));
        return;
    }
    // An answer in another type or format than asked is no answer: bytes of another kind are
    // not text, and a list of types comes as 32-bit atoms.
    if (!answerFits(read, reply->type, reply->format)) {
        targetDone(read, std::nullopt);
        return;
    }
    read.answerType = reply->type;
    read.received += length;
    targetDone(read, QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), length));
}

void X11Pasteboard::targetDone(Read& read, std::optional<QByteArray> bytes) {
    if (!read.haveTypes) {
        read.haveTypes = true;
        if (bytes) {
            std::vector<uint32_t> atoms(static_cast<size_t>(bytes->size()) / 4);
            std::memcpy(atoms.data(), bytes->constData(), atoms.size() * 4);
            std::optional<QStringList> types = atomNames(read, atoms);
            if (!types) {
                finish(read, std::nullopt);
                return;
            }
            read.content.types = std::move(*types);
            if (std::any_of(read.content.types.cbegin(), read.content.types.cend(), isPlainTextTarget) &&
                !read.content.types.contains(QLatin1String("text/plain")))
                read.content.types.append(QStringLiteral("text/plain"));
        }
        read.wanted = read.pick(read.content.types);
        nextTarget(read);
        return;
    }
    if (bytes) {
        // Latin-1 text is handed on as UTF-8, as every other text target is.
        if (read.answerType == XCB_ATOM_STRING)
            *bytes = QString::fromLatin1(*bytes).toUtf8();
        read.content.data.insert(read.type, *bytes);
        nextTarget(read);
        return;
    }
    if (!read.targets.isEmpty()) {
        read.target = read.targets.takeFirst();
        requestTarget(read, intern(read.target));
        return;
    }
    nextTarget(read);
}

void X11Pasteboard::nextTarget(Read& read) {
    while (!read.wanted.isEmpty()) {
        read.type = read.wanted.takeFirst();
        read.targets.clear();
        if (read.type == QLatin1String("text/plain")) {
            for (const char* name : plainTextTargets)
                if (read.content.types.contains(QLatin1String(name)))
                    read.targets.append(QLatin1String(name));
        } else if (read.content.types.contains(read.type)) {
            read.targets.append(read.type);
        }
        if (read.targets.isEmpty())
            continue;
        read.target = read.targets.takeFirst();
        requestTarget(read, intern(read.target));
        return;
    }
    finish(read, std::move(read.content));
}

void X11Pasteboard::finish(Read& read, std::optional<PasteboardContent> content) {
    const auto it =
        std::find_if(m_reads.begin(), m_reads.end(), [&](const auto& r) { return r.get() == &read; });
    if (it == m_reads.end())
        return;
    std::unique_ptr<Read> ended = std::move(*it);
    m_reads.erase(it);
    if (ended->asked)
        xcb_discard_reply(m_x->raw(), *ended->asked);
    xcb_destroy_window(m_x->raw(), ended->window);
    m_x->flush();
    deliver(std::move(ended->done), std::move(content));
}

void X11Pasteboard::deliver(ReadDone done, std::optional<PasteboardContent> content) {
    // Handed over from the event loop, unless the reads are cancelled before it comes to it.
    QMetaObject::invokeMethod(
        m_context.get(),
        [this, cancels = m_cancels, done = std::move(done), content = std::move(content)] {
            if (cancels == m_cancels)
                done(content);
        },
        Qt::QueuedConnection);
}

void X11Pasteboard::cancelReads() {
    ++m_cancels;
    if (m_x->isValid())
        for (const auto& read : m_reads) {
            if (read->asked)
                xcb_discard_reply(m_x->raw(), *read->asked);
            xcb_destroy_window(m_x->raw(), read->window);
        }
    m_reads.clear();
    if (m_x->isValid())
        m_x->flush();
}

void X11Pasteboard::readThroughQt(const TypePicker& pick, const ReadDone& done) {
    // No X server: Qt's clipboard is in this process and answers at once.
    PasteboardContent content;
    QClipboard* clipboard = qtClipboard();
    if (const QMimeData* mime = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr) {
        content.types = mime->formats();
        for (const QString& type : pick(content.types))
            content.data.insert(type, mime->data(type));
    }
    deliver(done, std::move(content));
}

void X11Pasteboard::write(const std::vector<std::pair<QString, QByteArray>>& representations) {
    QClipboard* clipboard = qtClipboard();
    if (!clipboard)
        return;
    auto* mime = new QMimeData;
    for (const auto& [type, bytes] : representations) {
        mime->setData(type, bytes);
        // Programs ask for images in many formats; Qt converts a real image to each of them.
        if (type.startsWith(QLatin1String("image/")) && !mime->hasImage()) {
            const QImage image = QImage::fromData(bytes);
            if (!image.isNull())
                mime->setImageData(image);
        }
    }
    clipboard->setMimeData(mime, QClipboard::Clipboard);
    if (!m_xfixesEvent)
        return;
    // Qt has taken the selection by now; a round trip brings its notification to us, so the
    // count on return includes this write.
    X11Reply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(m_x->raw(), xcb_get_input_focus(m_x->raw()), nullptr));
    dispatchEvents();
}

} // namespace corvane
