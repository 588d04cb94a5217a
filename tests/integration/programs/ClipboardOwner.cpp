// Owners of the clipboard for the history's tests, speaking the selection protocol directly:
//   timed COUNT FILE   takes the clipboard COUNT times, 0.3 s apart, each time with the text
//                      "timed copy N", and writes to FILE, one line per copy, the microseconds
//                      from taking it to the first request for its text (-1: never asked)
//   silent             takes the clipboard and never answers a request, until killed
// and hostile ones, each until killed:
//   endless            offers text and sends it in chunks (INCR) that never end
//   announce BYTES     offers text and sends it in chunks after announcing BYTES
//   pictures RATE PNG… takes the clipboard RATE times a second, each time with the next picture
//   padded RATE MB PNG… the same, each picture carrying MB megabytes more in a chunk of its own
//   files RATE COUNT   takes the clipboard RATE times a second with a list of COUNT file URLs
//                      (these two send in chunks, each copy whole before the clipboard is taken
//                      again)
//   texts RATE         takes the clipboard RATE times a second, each time with a new text
//   targets COUNT      offers COUNT types, every one a different name, and text after them all
//   marked-late COUNT  offers text, then COUNT types every one a different name, then the
//                      password-manager marker (every request answered with the text)
//   repeated COUNT     offers text, then one other type COUNT times over
//   fresh COUNT [TYPE] offers COUNT types, their names new at every request for the list, and
//                      text in the first list only (UTF8_STRING, answered as TYPE, also offered)
//   wrong HOW          answers outside the protocol: text in 32-bit numbers of another type
//                      (numbers) or of its own type (words), or its list of types as numbers
//                      (targets-type) or in bytes (targets-bytes)
//   marked HOW [VALUE] offers the text "marked copy" and the password-manager marker, and
//                      answers the marker with VALUE ("secret" when not given) as HOW says: in
//                      its own type (own), as UTF8_STRING, STRING or text/plain, refused
//                      (refuse) or never (silent); prints "marker asked" when it is asked for
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
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

struct Offer {
    std::vector<xcb_atom_t> types;
    // The bytes of the one type that has any, in units of `format` bits.
    xcb_atom_t type = XCB_ATOM_NONE;
    std::string bytes;
    uint8_t format = 8;
    // How the list of types is answered.
    xcb_atom_t targetsType = XCB_ATOM_ATOM;
    uint8_t targetsFormat = 32;
    // Nonzero: the bytes go in chunks (INCR) after a header announcing this many.
    uint32_t announced = 0;
    // Bytes too many for one request, sent in chunks instead of `bytes`.
    std::shared_ptr<const std::string> large;
    // When set, the types offered at each request for the list.
    std::function<std::vector<xcb_atom_t>()> typesNow;
};

// A reply sent in chunks: the requestor's window and property, and what is left to send of
// `data` (none: chunks without end).
struct Stream {
    xcb_window_t requestor;
    xcb_atom_t property;
    std::shared_ptr<const std::string> data;
    size_t sent = 0;
};

uint32_t crc32(const std::string& bytes) {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = table[(crc ^ static_cast<uint8_t>(byte)) & 0xff] ^ (crc >> 8);
    return ~crc;
}

std::string bigEndian(uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// The PNG with `extra` bytes in a private chunk before its end: no pixels, no text.
std::shared_ptr<const std::string> padded(const std::string& png, size_t extra) {
    const std::string chunk = "prVt" + std::string(extra, 'x');
    const size_t end = png.size() - 12; // the IEND chunk
    return std::make_shared<const std::string>(png.substr(0, end) + bigEndian(uint32_t(extra)) + chunk +
                                               bigEndian(crc32(chunk)) + png.substr(end));
}

// `count` atoms named `prefix` and a number, asked for all at once.
std::vector<xcb_atom_t> internNames(xcb_connection_t* c, const std::string& prefix, int count) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        cookies.push_back(xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.data()));
    }
    std::vector<xcb_atom_t> atoms;
    for (xcb_intern_atom_cookie_t cookie : cookies) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
        atoms.push_back(reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE));
        std::free(reply);
    }
    return atoms;
}

// Changes `property` of `window` to `bytes`, counted in units of `format` bits.
void put(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, uint8_t format,
         const void* bytes, size_t size) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, format,
                        static_cast<uint32_t>(size / (format / 8)), bytes);
}

// Keeps taking the clipboard (every `period`, or once when zero) and answers every request for
// `offer(n)`, the n-th copy; `endless` answers the text in chunks that never end.
void serve(xcb_connection_t* c, xcb_window_t window, xcb_atom_t clipboard, xcb_atom_t targets,
           std::chrono::milliseconds period, bool endless, const auto& offer) {
    const xcb_atom_t incr = intern(c, "INCR");
    int copy = 0;
    Offer current = offer(copy);
    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    xcb_flush(c);
    Clock::time_point next = Clock::now() + period;
    std::vector<Stream> streams;
    constexpr size_t chunkSize = 256 * 1024;
    const std::string endlessChunk(chunkSize, 'x');
    for (;;) {
        // A copy sent in chunks is sent whole before the next is taken: each is one copy read.
        if (period.count() > 0 && Clock::now() >= next && streams.empty()) {
            current = offer(++copy);
            xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
            xcb_flush(c);
            next += period;
        }
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (!event) {
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            ::poll(&fd, 1, 2);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto& notify = *reinterpret_cast<xcb_property_notify_event_t*>(event);
            for (auto it = streams.begin(); it != streams.end(); ++it) {
                if (notify.state != XCB_PROPERTY_DELETE || notify.window != it->requestor ||
                    notify.atom != it->property)
                    continue;
                // The next chunk; the last is empty and ends the stream.
                const char* bytes = endlessChunk.data();
                size_t size = chunkSize;
                if (it->data) {
                    size = std::min(chunkSize, it->data->size() - it->sent);
                    bytes = it->data->data() + it->sent;
                    it->sent += size;
                }
                put(c, it->requestor, it->property, current.type, 8, bytes, size);
                if (size == 0)
                    streams.erase(it);
                break;
            }
            xcb_flush(c);
        } else if (type == XCB_SELECTION_REQUEST) {
            const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
            const xcb_atom_t property = request.property == XCB_ATOM_NONE ? request.target : request.property;
            if (request.target == targets) {
                std::vector<xcb_atom_t> offered = current.typesNow ? current.typesNow() : current.types;
                offered.insert(offered.begin(), targets);
                put(c, request.requestor, property, current.targetsType, current.targetsFormat,
                    offered.data(), offered.size() * sizeof(xcb_atom_t));
                answer(c, request, property);
            } else if (endless || current.large || current.announced > 0) {
                const uint32_t size = current.announced > 0 ? current.announced
                                      : current.large       ? static_cast<uint32_t>(current.large->size())
                                                            : 1024 * 1024;
                const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &events);
                put(c, request.requestor, property, incr, 32, &size, sizeof size);
                // What the chunks carry: the large bytes, the offer's own, or (none) no end.
                std::shared_ptr<const std::string> data = current.large;
                if (!data && !endless)
                    data = std::make_shared<const std::string>(current.bytes);
                streams.push_back({request.requestor, property, data});
                answer(c, request, property);
            } else if (current.type != XCB_ATOM_NONE) {
                // The bytes go as they are, whichever type was asked for: the offer says what it is.
                put(c, request.requestor, property, current.type, current.format, current.bytes.data(),
                    current.bytes.size());
                answer(c, request, property);
            } else {
                answer(c, request, XCB_ATOM_NONE);
            }
        }
        std::free(event);
    }
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
    if (role == "marked" && (argc == 3 || argc == 4)) {
        const std::string how = argv[2];
        const std::string value = argc == 4 ? argv[3] : "secret";
        const std::string text = "marked copy";
        const xcb_atom_t marker = intern(c, "x-kde-passwordManagerHint");
        const xcb_atom_t answeredAs = how == "own"      ? marker
                                      : how == "STRING" ? xcb_atom_t(XCB_ATOM_STRING)
                                                        : intern(c, how.c_str());
        xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
        xcb_flush(c);
        while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
                const xcb_atom_t property =
                    request.property == XCB_ATOM_NONE ? request.target : request.property;
                if (request.target == targets) {
                    const xcb_atom_t offered[] = {targets, utf8, marker};
                    put(c, request.requestor, property, XCB_ATOM_ATOM, 32, offered, sizeof offered);
                    answer(c, request, property);
                } else if (request.target == utf8) {
                    put(c, request.requestor, property, utf8, 8, text.data(), text.size());
                    answer(c, request, property);
                } else if (request.target == marker) {
                    std::printf("marker asked\n");
                    std::fflush(stdout);
                    if (how == "refuse") {
                        answer(c, request, XCB_ATOM_NONE);
                    } else if (how != "silent") {
                        put(c, request.requestor, property, answeredAs, 8, value.data(), value.size());
                        answer(c, request, property);
                    }
                } else {
                    answer(c, request, XCB_ATOM_NONE);
                }
            }
            std::free(event);
        }
        return 0;
    }
    using std::chrono::milliseconds;
    if (role == "endless")
        serve(c, window, clipboard, targets, milliseconds(0), true, [&](int) {
            return Offer{{utf8}, utf8, {}};
        });
    if (role == "texts" && argc == 3)
        serve(c, window, clipboard, targets, milliseconds(1000 / std::atoi(argv[2])), false, [&](int n) {
            return Offer{{utf8}, utf8, "flood copy " + std::to_string(n)};
        });
    if (role == "wrong" && argc == 3) {
        const std::string how = argv[2];
        Offer offer{{utf8}, utf8, "sixteen bytes ok"};
        if (how == "numbers")
            offer = Offer{{utf8}, XCB_ATOM_INTEGER, std::string("\x01\0\0\0\x02\0\0\0", 8), 32};
        else if (how == "words")
            offer.format = 32;
        else if (how == "targets-type")
            offer.targetsType = XCB_ATOM_INTEGER;
        else if (how == "targets-bytes")
            offer.targetsFormat = 8;
        else
            return 2;
        serve(c, window, clipboard, targets, milliseconds(0), false, [&](int) { return offer; });
    }
    if (role == "announce" && argc == 3) {
        Offer offer{{utf8}, utf8, "announced in chunks"};
        offer.announced = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
        serve(c, window, clipboard, targets, milliseconds(0), false, [&](int) { return offer; });
    }
    if (role == "targets" && argc == 3) {
        // Every name is new to the server: each costs whoever asks for it a reply.
        std::vector<xcb_atom_t> offered = internNames(c, "CORVANE_OFFERED_", std::atoi(argv[2]));
        // The text comes after them all: a reader that looks at every type finds it.
        offered.push_back(utf8);
        serve(c, window, clipboard, targets, milliseconds(0), false, [&](int) {
            return Offer{offered, utf8, "offered past the types looked at"};
        });
    }
    if (role == "marked-late" && argc == 3) {
        // A reader that looks at only the first types takes the text and misses the marker.
        const xcb_atom_t marker = intern(c, "x-kde-passwordManagerHint");
        std::vector<xcb_atom_t> offered{utf8};
        const std::vector<xcb_atom_t> others = internNames(c, "CORVANE_BEFORE_MARKER_", std::atoi(argv[2]));
        offered.insert(offered.end(), others.begin(), others.end());
        offered.push_back(marker);
        serve(c, window, clipboard, targets, milliseconds(0), false, [&](int) {
            return Offer{offered, utf8, "marked past the types looked at"};
        });
    }
    if (role == "repeated" && argc == 3) {
        std::vector<xcb_atom_t> offered(size_t(std::atoi(argv[2])), intern(c, "CORVANE_REPEATED"));
        offered.insert(offered.begin(), utf8);
        serve(c, window, clipboard, targets, milliseconds(0), false, [&](int) {
            return Offer{offered, utf8, "offered before a repeated type"};
        });
    }
    if (role == "fresh" && (argc == 3 || argc == 4)) {
        const xcb_atom_t answered = argc == 4 ? intern(c, argv[3]) : utf8;
        Offer offer{{}, answered, "among fresh names"};
        int asked = 0;
        offer.typesNow = [&] {
            std::vector<xcb_atom_t> offered =
                internNames(c, "CORVANE_FRESH_" + std::to_string(++asked) + "_", std::atoi(argv[2]));
            if (asked == 1)
                offered.insert(offered.end(), {utf8, answered});
            return offered;
        };
        serve(c, window, clipboard, targets, milliseconds(0), false, [&](int) { return offer; });
    }
    if (role == "pictures" && argc >= 4) {
        const xcb_atom_t png = intern(c, "image/png");
        std::vector<std::string> pictures;
        for (int i = 3; i < argc; ++i) {
            std::ifstream file(argv[i], std::ios::binary);
            pictures.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        serve(c, window, clipboard, targets, milliseconds(1000 / std::atoi(argv[2])), false, [&](int n) {
            return Offer{{png}, png, pictures[size_t(n) % pictures.size()]};
        });
    }
    if (role == "padded" && argc >= 5) {
        const xcb_atom_t png = intern(c, "image/png");
        const size_t extra = size_t(std::atoi(argv[3])) * 1000 * 1000;
        std::vector<std::string> pictures;
        for (int i = 4; i < argc; ++i) {
            std::ifstream file(argv[i], std::ios::binary);
            pictures.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        // Made as each copy is taken: a stream still under way keeps the one it sends.
        serve(c, window, clipboard, targets, milliseconds(1000 / std::atoi(argv[2])), false, [&](int n) {
            Offer offer{{png}, png, {}};
            offer.large = padded(pictures[size_t(n) % pictures.size()], extra);
            return offer;
        });
    }
    if (role == "files" && argc == 4) {
        const xcb_atom_t uriList = intern(c, "text/uri-list");
        auto list = std::make_shared<std::string>();
        for (int i = 0; i < std::atoi(argv[3]); ++i)
            *list += "file:///tmp/copied/folder/file-" + std::to_string(i) + ".txt\r\n";
        serve(c, window, clipboard, targets, milliseconds(1000 / std::atoi(argv[2])), false, [&](int) {
            Offer offer{{uriList}, uriList, {}};
            offer.large = list;
            return offer;
        });
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
