#include "platform/x11/X11Pasteboard.h"

#include "platform/x11/X11Connection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <xcb/xfixes.h>

#include <chrono>
#include <poll.h>

namespace corvane {

namespace {

constexpr std::chrono::milliseconds targetsTimeout{500};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    X11Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

QString atomName(xcb_connection_t* c, xcb_atom_t atom) {
    X11Reply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!reply)
        return {};
    return QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                               xcb_get_atom_name_name_length(reply.get()));
}

bool isPlainTextTarget(const QString& name) {
    return name == QLatin1String("UTF8_STRING") || name == QLatin1String("STRING") ||
           name == QLatin1String("TEXT") || name.startsWith(QLatin1String("text/plain"));
}

QClipboard* qtClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                        : nullptr;
}

} // namespace

X11Pasteboard::X11Pasteboard(const QByteArray& displayName)
    : m_x(std::make_unique<X11Connection>(displayName)) {
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
    m_clipboard = intern(c, "CLIPBOARD");
    m_targets = intern(c, "TARGETS");
    m_property = intern(c, "CORVANE_CLIPBOARD_TARGETS");
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!extension || !extension->present)
        return;
    X11Reply<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
    if (!version)
        return;
    // An unmapped window of our own asks the owner for its targets and hears the notifications.
    m_requestor = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_requestor, m_x->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_xfixes_select_selection_input(c, m_requestor, m_clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    m_x->flush();
    m_xfixesEvent = extension->first_event;
}

X11Pasteboard::~X11Pasteboard() {
    // Qt's clipboard outlives this object.
    QObject::disconnect(m_qtChanges);
    if (m_requestor != XCB_WINDOW_NONE && m_x->isValid())
        xcb_destroy_window(m_x->raw(), m_requestor);
}

void X11Pasteboard::collectNotifications() {
    if (!m_xfixesEvent)
        return;
    xcb_connection_t* c = m_x->raw();
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        if (x11EventType(*event) == *m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY)
            ++m_changes;
        std::free(event);
    }
}

qint64 X11Pasteboard::changeCount() {
    collectNotifications();
    return m_changes;
}

std::optional<QStringList> X11Pasteboard::ownerTargets() {
    if (!m_xfixesEvent)
        return std::nullopt;
    xcb_connection_t* c = m_x->raw();
    xcb_delete_property(c, m_requestor, m_property);
    xcb_convert_selection(c, m_requestor, m_clipboard, m_targets, m_property, XCB_CURRENT_TIME);
    m_x->flush();

    // The owner answers with a SelectionNotify; other events met on the way are counted as usual.
    const auto deadline = std::chrono::steady_clock::now() + targetsTimeout;
    bool answered = false, converted = false;
    while (!answered) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const uint8_t type = x11EventType(*event);
            if (type == *m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
                ++m_changes;
            } else if (type == XCB_SELECTION_NOTIFY) {
                auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
                if (notify->requestor == m_requestor && notify->selection == m_clipboard) {
                    answered = true;
                    converted = notify->property != XCB_ATOM_NONE;
                }
            }
            std::free(event);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (answered || left.count() <= 0 || xcb_connection_has_error(c))
            break;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left.count()));
    }
    if (!answered)
        return std::nullopt;
    QStringList names;
    if (!converted)
        return names;
    const std::optional<X11Property> targets = m_x->property(m_requestor, m_property, XCB_ATOM_ATOM);
    xcb_delete_property(c, m_requestor, m_property);
    if (!targets)
        return names;
    bool plainText = false;
    for (uint32_t atom : targets->values32()) {
        const QString name = atomName(c, atom);
        if (name.isEmpty() || names.contains(name))
            continue;
        plainText = plainText || isPlainTextTarget(name);
        names.append(name);
    }
    if (plainText && !names.contains(QLatin1String("text/plain")))
        names.append(QStringLiteral("text/plain"));
    return names;
}

QStringList X11Pasteboard::types() {
    if (std::optional<QStringList> targets = ownerTargets())
        return *targets;
    // No owner answered on our connection: Qt's view of the formats is the best left.
    QClipboard* clipboard = qtClipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    return mime ? mime->formats() : QStringList();
}

QByteArray X11Pasteboard::data(const QString& type) {
    QClipboard* clipboard = qtClipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    return mime ? mime->data(type) : QByteArray();
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
    collectNotifications();
}

} // namespace corvane
