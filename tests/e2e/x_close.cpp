// Asks a window to close the way a window manager does when its title bar's close button is
// pressed: a WM_DELETE_WINDOW client message. The program gets an ordinary close it may handle or
// refuse, unlike destroying the window or killing its client.
//   x_close WINDOW          (decimal or 0x hexadecimal id, on $DISPLAY)
// Exit status 0 when the message was delivered, 1 when the window does not take part in the
// protocol or the display cannot be reached, 2 on a bad argument.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tovrin {
namespace {

struct Connection {
    xcb_connection_t* c;
    ~Connection() { xcb_disconnect(c); }
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Whether the window lists WM_DELETE_WINDOW in its WM_PROTOCOLS; a client that does not would
// only be killed by a window manager, which is not what a close button means.
bool TakesDeleteWindow(xcb_connection_t* c, xcb_window_t window, xcb_atom_t protocols,
                       xcb_atom_t deleteWindow) {
    const auto cookie = xcb_get_property(c, 0, window, protocols, XCB_ATOM_ATOM, 0, 64);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) {
        return false;
    }
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == deleteWindow) {
            return true;
        }
    }
    return false;
}

int Run(const char* arg) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(arg, &end, 0);
    if (end == arg || *end != '\0' || id == 0 || id > 0xFFFFFFFFul) {
        std::fprintf(stderr, "x_close: bad window id %s\n", arg);
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(id);
    Connection conn{xcb_connect(nullptr, nullptr)};
    if (xcb_connection_has_error(conn.c) != 0) {
        std::fprintf(stderr, "x_close: cannot open the display\n");
        return 1;
    }
    const xcb_atom_t protocols = Atom(conn.c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = Atom(conn.c, "WM_DELETE_WINDOW");
    if (!TakesDeleteWindow(conn.c, window, protocols, deleteWindow)) {
        std::fprintf(stderr, "x_close: window 0x%lx does not take WM_DELETE_WINDOW\n", id);
        return 1;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = protocols;
    event.data.data32[0] = deleteWindow;
    event.data.data32[1] = XCB_CURRENT_TIME;
    const auto cookie = xcb_send_event_checked(conn.c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                               reinterpret_cast<const char*>(&event));
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
        xcb_request_check(conn.c, cookie), &std::free);
    if (error) {
        std::fprintf(stderr, "x_close: sending to 0x%lx failed (X error %d)\n", id,
                     error->error_code);
        return 1;
    }
    return 0;
}

} // namespace
} // namespace tovrin

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: x_close WINDOW\n");
        return 2;
    }
    return tovrin::Run(argv[1]);
}
