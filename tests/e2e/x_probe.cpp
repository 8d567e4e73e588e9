// Asks the X server and a program on it what a script cannot ask with the usual tools:
//   x_probe ping WINDOW [MS]   whether the program that owns WINDOW still answers its events: a
//                              _NET_WM_PING goes to the window, and the program's event loop sends
//                              it back to the root window. Exit status 0 on an answer within MS
//                              milliseconds (default 10000), 1 when none came, 3 when the window
//                              is gone.
//   x_probe stalls WINDOW SECONDS [MS]
//                              how long the program takes to answer: a ping every MS
//                              milliseconds (default 130) for SECONDS, each waiting for its
//                              answer, then one line "pings N over100 K over300 M longest L
//                              frozen F" (F: the milliseconds of the answers that took over 100)
//   x_probe keys               the keys the server holds down. Exit status 0 when none is, 1 (and
//                              their key codes on stdout) when any is: a key left down repeats.
// The display is $DISPLAY; exit status 2 on a bad argument or no display.
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace tovrin {
namespace {

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

struct Connection {
    xcb_connection_t* c;
    ~Connection() { xcb_disconnect(c); }
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool ParseNumber(const char* arg, unsigned long max, unsigned long& out) {
    char* end = nullptr;
    out = std::strtoul(arg, &end, 0);
    return end != arg && *end == '\0' && out <= max;
}

int Keys(xcb_connection_t* c) {
    Reply<xcb_query_keymap_reply_t> reply(xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr),
                                          &std::free);
    if (!reply) {
        std::fprintf(stderr, "x_probe: no keymap from the server\n");
        return 2;
    }
    bool any = false;
    for (int byte = 0; byte < 32; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((reply->keys[byte] & (1 << bit)) != 0) {
                std::printf("%s%d", any ? " " : "", byte * 8 + bit);
                any = true;
            }
        }
    }
    if (any) {
        std::printf("\n");
    }
    return any ? 1 : 0;
}

int Ping(xcb_connection_t* c, xcb_window_t window, int timeoutMs) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t root = screen->root;
    // Qt sends the answer to the root window for clients that select structure notification or
    // substructure redirection there; the first is enough, and leaves redirection to whoever
    // may want it.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    Reply<xcb_generic_error_t> selectError(
        xcb_request_check(c,
                          xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask)),
        &std::free);
    if (selectError) {
        std::fprintf(stderr, "x_probe: cannot listen on the root window\n");
        return 2;
    }
    const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
    const xcb_atom_t ping = Atom(c, "_NET_WM_PING");
    // A stamp of our own, so an answer to someone else's ping is not taken for ours.
    const auto stamp = static_cast<uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0x7FFFFFFF);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols;
    event.data.data32[0] = ping;
    event.data.data32[1] = stamp;
    event.data.data32[2] = window;
    Reply<xcb_generic_error_t> sendError(
        xcb_request_check(c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                    reinterpret_cast<const char*>(&event))),
        &std::free);
    if (sendError) {
        return 3;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
            Reply<xcb_generic_event_t> got(raw, &std::free);
            if ((got->response_type & 0x7F) != XCB_CLIENT_MESSAGE) {
                continue;
            }
            const auto* answer = reinterpret_cast<const xcb_client_message_event_t*>(raw);
            if (answer->type == protocols && answer->data.data32[0] == ping &&
                answer->data.data32[1] == stamp && answer->data.data32[2] == window) {
                return 0;
            }
        }
        if (xcb_connection_has_error(c) != 0) {
            return 2;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return 1;
        }
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left < 200 ? left : 200));
    }
}

int Stalls(xcb_connection_t* c, xcb_window_t window, int seconds, int periodMs) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    long pings = 0;
    long over = 0;
    long over300 = 0;
    long longest = 0;
    long frozen = 0;
    while (Clock::now() < end) {
        const auto sent = Clock::now();
        const int answered = Ping(c, window, 30000);
        if (answered != 0) {
            return answered;
        }
        const long took =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count();
        ++pings;
        longest = took > longest ? took : longest;
        if (took > 100) {
            ++over;
            frozen += took;
        }
        over300 += took > 300 ? 1 : 0;
        const auto wait = sent + std::chrono::milliseconds(periodMs) - Clock::now();
        if (wait > Clock::duration::zero()) {
            poll(nullptr, 0,
                 static_cast<int>(
                     std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()));
        }
    }
    std::printf("pings %ld over100 %ld over300 %ld longest %ld frozen %ld\n", pings, over, over300,
                longest, frozen);
    return 0;
}

int Run(int argc, char** argv) {
    const std::string command = argc >= 2 ? argv[1] : "";
    unsigned long window = 0;
    unsigned long timeout = 10000;
    const bool pingArgs = command == "ping" && (argc == 3 || argc == 4) &&
                          ParseNumber(argv[2], 0xFFFFFFFFul, window) && window != 0 &&
                          (argc == 3 || ParseNumber(argv[3], 3600000, timeout));
    unsigned long seconds = 0;
    unsigned long period = 130;
    const bool stallArgs = command == "stalls" && (argc == 4 || argc == 5) &&
                           ParseNumber(argv[2], 0xFFFFFFFFul, window) && window != 0 &&
                           ParseNumber(argv[3], 3600, seconds) &&
                           (argc == 4 || ParseNumber(argv[4], 60000, period));
    if (!pingArgs && !stallArgs && !(command == "keys" && argc == 2)) {
        std::fprintf(stderr, "usage: x_probe ping WINDOW [MS] | x_probe stalls WINDOW SECONDS "
                             "[MS] | x_probe keys\n");
        return 2;
    }
    Connection conn{xcb_connect(nullptr, nullptr)};
    if (xcb_connection_has_error(conn.c) != 0) {
        std::fprintf(stderr, "x_probe: cannot open the display\n");
        return 2;
    }
    if (command == "keys") {
        return Keys(conn.c);
    }
    if (stallArgs) {
        return Stalls(conn.c, static_cast<xcb_window_t>(window), static_cast<int>(seconds),
                      static_cast<int>(period));
    }
    return Ping(conn.c, static_cast<xcb_window_t>(window), static_cast<int>(timeout));
}

} // namespace
} // namespace tovrin

int main(int argc, char** argv) {
    return tovrin::Run(argc, argv);
}
