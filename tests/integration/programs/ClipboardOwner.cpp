// Owners of the clipboard for the history's tests, speaking the selection protocol directly:
//   timed COUNT FILE   takes the clipboard COUNT times, 0.3 s apart, each time with the text
//                      "timed copy N", and writes to FILE, one line per copy, the microseconds
//                      from taking it to the first request for its text (-1: never asked)
//   silent             takes the clipboard and never answers a request, until killed
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void answer(xcb_connection_t* c, const xcb_selection_request_event_t& request, xcb_atom_t property) {
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = property;
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
    xcb_flush(c);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string role = argv[1];
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = intern(c, "CLIPBOARD");
    const xcb_atom_t targets = intern(c, "TARGETS");
    const xcb_atom_t utf8 = intern(c, "UTF8_STRING");
    const xcb_atom_t plain = intern(c, "text/plain");
    const xcb_atom_t plainUtf8 = intern(c, "text/plain;charset=utf-8");

    if (role == "silent") {
        xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
        xcb_flush(c);
        // Requests pile up unanswered.
        while (xcb_generic_event_t* event = xcb_wait_for_event(c))
            std::free(event);
        return 0;
    }
    if (role != "timed" || argc != 4)
        return 2;
    const int count = std::atoi(argv[2]);
    std::vector<long> delays;
    for (int i = 0; i < count; ++i) {
        const std::string text = "timed copy " + std::to_string(i + 1);
        const Clock::time_point taken = Clock::now();
        xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
        xcb_flush(c);
        long delay = -1;
        const Clock::time_point next = taken + std::chrono::milliseconds(300);
        while (Clock::now() < next) {
            xcb_generic_event_t* event = xcb_poll_for_event(c);
            if (!event) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
                pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
                ::poll(&fd, 1, static_cast<int>(std::max<long>(left.count(), 0)) + 1);
                continue;
            }
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
                const xcb_atom_t property =
                    request.property == XCB_ATOM_NONE ? request.target : request.property;
                if (request.target == targets) {
                    const xcb_atom_t offered[] = {targets, utf8};
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM,
                                        32, 2, offered);
                    answer(c, request, property);
                } else if (request.target == utf8 || request.target == plain || request.target == plainUtf8) {
                    if (delay < 0)
                        delay = static_cast<long>(
                            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - taken)
                                .count());
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target,
                                        8, static_cast<uint32_t>(text.size()), text.data());
                    answer(c, request, property);
                } else {
                    answer(c, request, XCB_ATOM_NONE);
                }
            }
            std::free(event);
        }
        delays.push_back(delay);
    }
    FILE* out = std::fopen(argv[3], "w");
    if (!out)
        return 1;
    // Microseconds, as the test reads them.
    for (long delay : delays)
        std::fprintf(out, "%ld\n", delay);
    std::fclose(out);
    xcb_disconnect(c);
    return 0;
}
