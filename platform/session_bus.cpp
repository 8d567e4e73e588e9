#include "platform/session_bus.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef __linux__
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#if defined(TOVRIN_HAVE_DBUS)
#include <QAccessible>
#include <QDBusConnection>
#endif

namespace tovrin {

namespace dbus_wire {
namespace {

class Writer {
public:
    void Align(std::size_t to) {
        while (bytes.size() % to != 0) {
            bytes.push_back(0);
        }
    }
    void Byte(std::uint8_t b) { bytes.push_back(b); }
    void U32(std::uint32_t v) {
        Align(4);
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    }
    void String(const std::string& s) {
        U32(static_cast<std::uint32_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    void Signature(const std::string& s) {
        Byte(static_cast<std::uint8_t>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    void PatchU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
    std::vector<std::uint8_t> bytes;
};

constexpr std::uint8_t kFieldPath = 1;
constexpr std::uint8_t kFieldInterface = 2;
constexpr std::uint8_t kFieldMember = 3;
constexpr std::uint8_t kFieldReplySerial = 5;
constexpr std::uint8_t kFieldDestination = 6;
constexpr std::uint8_t kFieldSignature = 8;
constexpr std::uint8_t kMethodReturn = 2;
constexpr std::uint8_t kError = 3;
// What the bus lets no message be longer than.
constexpr std::uint64_t kMostMessage = std::uint64_t{128} << 20;

void Field(Writer& w, std::uint8_t code, const char* type, const std::string& value) {
    w.Align(8);
    w.Byte(code);
    w.Signature(type);
    if (std::strcmp(type, "g") == 0) {
        w.Signature(value);
    } else {
        w.String(value);
    }
}

// Reads a message laid out in either byte order, never past its end.
class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, std::size_t end, bool big)
        : bytes_(bytes), end_(end), big_(big) {}
    bool Align(std::size_t to) {
        at_ = (at_ + to - 1) / to * to;
        return at_ <= end_;
    }
    bool U32(std::uint32_t& v) {
        if (!Align(4) || end_ - at_ < 4) {
            return false;
        }
        v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t b = bytes_[at_ + static_cast<std::size_t>(i)];
            v |= big_ ? b << (8 * (3 - i)) : b << (8 * i);
        }
        at_ += 4;
        return true;
    }
    bool Byte(std::uint8_t& b) {
        if (at_ >= end_) {
            return false;
        }
        b = bytes_[at_++];
        return true;
    }
    bool Signature(std::string& s) {
        std::uint8_t size = 0;
        if (!Byte(size) || end_ - at_ < std::size_t{size} + 1) {
            return false;
        }
        s.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                 bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + size));
        at_ += std::size_t{size} + 1;
        return true;
    }
    bool SkipString() {
        std::uint32_t size = 0;
        if (!U32(size) || end_ - at_ < std::uint64_t{size} + 1) {
            return false;
        }
        at_ += std::size_t{size} + 1;
        return true;
    }
    // One value of a single basic type or a variant of one; anything else ends the reading.
    bool Skip(const std::string& type) {
        if (type == "u" || type == "b" || type == "i") {
            std::uint32_t ignored = 0;
            return U32(ignored);
        }
        if (type == "s" || type == "o") {
            return SkipString();
        }
        if (type == "g") {
            std::string ignored;
            return Signature(ignored);
        }
        if (type == "y") {
            std::uint8_t ignored = 0;
            return Byte(ignored);
        }
        return false;
    }
    std::size_t At() const { return at_; }
    void Seek(std::size_t at) { at_ = at; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t end_;
    bool big_;
    std::size_t at_ = 0;
};

} // namespace

std::vector<std::uint8_t> MethodCall(std::uint32_t serial, const std::string& destination,
                                     const std::string& path, const std::string& interface,
                                     const std::string& member,
                                     const std::vector<std::string>& stringArgs, bool noAutoStart) {
    Writer w;
    w.Byte('l');
    w.Byte(1); // a method call
    w.Byte(noAutoStart ? 0x2 : 0);
    w.Byte(1); // the protocol's version
    w.U32(0);  // the body's length, below
    w.U32(serial);
    w.U32(0); // the header fields' length, below
    const std::size_t fieldsStart = w.bytes.size();
    Field(w, kFieldPath, "o", path);
    Field(w, kFieldInterface, "s", interface);
    Field(w, kFieldMember, "s", member);
    Field(w, kFieldDestination, "s", destination);
    if (!stringArgs.empty()) {
        Field(w, kFieldSignature, "g", std::string(stringArgs.size(), 's'));
    }
    w.PatchU32(12, static_cast<std::uint32_t>(w.bytes.size() - fieldsStart));
    w.Align(8);
    const std::size_t bodyStart = w.bytes.size();
    for (const std::string& arg : stringArgs) {
        w.String(arg);
    }
    w.PatchU32(4, static_cast<std::uint32_t>(w.bytes.size() - bodyStart));
    return w.bytes;
}

bool TakeMessage(std::vector<std::uint8_t>& bytes, Reply& reply, bool& bad) {
    bad = false;
    reply = {};
    if (bytes.size() < 16) {
        return false;
    }
    const bool big = bytes[0] == 'B';
    if (!big && bytes[0] != 'l') {
        bad = true;
        return false;
    }
    Reader head(bytes, 16, big);
    std::uint32_t bodySize = 0;
    std::uint32_t serial = 0;
    std::uint32_t fieldsSize = 0;
    head.Seek(4);
    head.U32(bodySize);
    head.U32(serial);
    head.U32(fieldsSize);
    const std::uint64_t fieldsEnd = 16 + std::uint64_t{fieldsSize};
    const std::uint64_t bodyStart = (fieldsEnd + 7) / 8 * 8;
    const std::uint64_t total = bodyStart + bodySize;
    if (total > kMostMessage) {
        bad = true;
        return false;
    }
    if (bytes.size() < total) {
        return false;
    }
    const std::uint8_t type = bytes[1];
    Reader fields(bytes, static_cast<std::size_t>(fieldsEnd), big);
    fields.Seek(16);
    std::string bodySignature;
    while (fields.At() < fieldsEnd) {
        std::uint8_t code = 0;
        std::string valueType;
        if (!fields.Align(8) || fields.At() >= fieldsEnd || !fields.Byte(code) ||
            !fields.Signature(valueType)) {
            break;
        }
        if (code == kFieldReplySerial && valueType == "u") {
            fields.U32(reply.replySerial);
        } else if (code == kFieldSignature && valueType == "g") {
            fields.Signature(bodySignature);
        } else if (!fields.Skip(valueType)) {
            break;
        }
    }
    if (type != kMethodReturn && type != kError) {
        reply.replySerial = 0;
    }
    reply.error = type == kError;
    Reader body(bytes, static_cast<std::size_t>(total), big);
    body.Seek(static_cast<std::size_t>(bodyStart));
    std::uint32_t value = 0;
    if (bodySignature == "b" && body.U32(value)) {
        reply.hasBoolean = true;
    } else if (bodySignature == "v") {
        std::string inner;
        if (body.Signature(inner) && inner == "b" && body.U32(value)) {
            reply.hasBoolean = true;
        }
    }
    reply.boolean = value != 0;
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(total));
    return true;
}

} // namespace dbus_wire

namespace {

SessionBusAtStart& State() {
    static SessionBusAtStart state;
    return state;
}

#ifdef __linux__

// Where DBUS_SESSION_BUS_ADDRESS pointed before the start kept Qt off it, for the programs the
// user opens from Tovrin.
struct FencedAddress {
    bool fenced = false;
    bool wasSet = false;
    std::string value;
};

FencedAddress& Fence() {
    static FencedAddress fence;
    return fence;
}

// An address that fails at once, without starting anything: a socket that cannot exist.
constexpr const char* kNoBus = "unix:path=/dev/null/no-session-bus";

using Clock = std::chrono::steady_clock;

std::string Unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            out.push_back(
                static_cast<char>(std::strtol(value.substr(i + 1, 2).c_str(), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

// The sockets an address names, in its order; whether one is abstract. Other transports (tcp,
// launchd, autolaunch) are not asked here.
struct Place {
    std::string name;
    bool abstract = false;
};

std::vector<Place> PlacesOf(const std::string& address) {
    std::vector<Place> places;
    std::size_t start = 0;
    while (start <= address.size()) {
        std::size_t end = address.find(';', start);
        end = end == std::string::npos ? address.size() : end;
        const std::string entry = address.substr(start, end - start);
        start = end + 1;
        if (entry.rfind("unix:", 0) != 0) {
            continue;
        }
        std::size_t at = 5;
        while (at < entry.size()) {
            std::size_t comma = entry.find(',', at);
            comma = comma == std::string::npos ? entry.size() : comma;
            const std::string pair = entry.substr(at, comma - at);
            at = comma + 1;
            if (pair.rfind("path=", 0) == 0) {
                places.push_back({Unescape(pair.substr(5)), false});
            } else if (pair.rfind("abstract=", 0) == 0) {
                places.push_back({Unescape(pair.substr(9)), true});
            }
        }
    }
    return places;
}

int Connect(const Place& place) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t room = sizeof address.sun_path - (place.abstract ? 1 : 0) - 1;
    if (place.name.empty() || place.name.size() > room) {
        return -1;
    }
    std::memcpy(address.sun_path + (place.abstract ? 1 : 0), place.name.data(), place.name.size());
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + (place.abstract ? 1 : 0) +
                               place.name.size() + (place.abstract ? 0 : 1));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 &&
        errno != EINPROGRESS && errno != EAGAIN) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// One conversation with the bus, each step against its own deadline.
class Conversation {
public:
    explicit Conversation(int fd) : fd_(fd) {}
    ~Conversation() { ::close(fd_); }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    bool Send(const std::vector<std::uint8_t>& bytes, Clock::time_point deadline) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                return false;
            } else if (!Wait(POLLOUT, deadline)) {
                return false;
            }
        }
        return true;
    }
    // Reads what there is, waiting at most until the deadline; false once that has passed (or the
    // bus hung up) with nothing new.
    bool Receive(Clock::time_point deadline) {
        for (;;) {
            std::uint8_t buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                received.insert(received.end(), buffer, buffer + n);
                return true;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                return false;
            }
            if (!Wait(POLLIN, deadline)) {
                return false;
            }
        }
    }
    // The authentication's answer, a line ending in CR LF.
    bool Line(std::string& line, Clock::time_point deadline) {
        for (;;) {
            for (std::size_t i = 0; i + 1 < received.size(); ++i) {
                if (received[i] == '\r' && received[i + 1] == '\n') {
                    line.assign(received.begin(),
                                received.begin() + static_cast<std::ptrdiff_t>(i));
                    received.erase(received.begin(),
                                   received.begin() + static_cast<std::ptrdiff_t>(i + 2));
                    return true;
                }
            }
            if (received.size() > 4096 || !Receive(deadline)) {
                return false;
            }
        }
    }

    std::vector<std::uint8_t> received;

private:
    bool Wait(short events, Clock::time_point deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd fd{fd_, events, 0};
        return ::poll(&fd, 1, static_cast<int>(left)) > 0;
    }
    int fd_;
};

std::vector<std::uint8_t> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

const std::string kBusName = "org.freedesktop.DBus";
const std::string kWatcher = "org.kde.StatusNotifierWatcher";

void Converse(Conversation& bus, SessionBusAtStart& state, std::chrono::milliseconds busLimit,
              std::chrono::milliseconds watcherLimit) {
    std::string uid = std::to_string(::geteuid());
    std::string hex;
    for (const char c : uid) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        hex += pair;
    }
    std::vector<std::uint8_t> hello{0};
    const std::vector<std::uint8_t> auth = Text("AUTH EXTERNAL " + hex + "\r\n");
    hello.insert(hello.end(), auth.begin(), auth.end());
    std::string line;
    if (!bus.Send(hello, Clock::now() + busLimit) || !bus.Line(line, Clock::now() + busLimit)) {
        state.bus = SessionBusAtStart::Bus::Silent;
        return;
    }
    if (line.rfind("OK ", 0) != 0) {
        // It answers, but not to this: what a watcher says is left to the running program.
        state.bus = SessionBusAtStart::Bus::Answers;
        return;
    }
    // Everything at once: the bus answers in order, and a question to a name nobody holds is
    // answered by the bus itself.
    std::vector<std::uint8_t> ask = Text("BEGIN\r\n");
    for (const auto& message :
         {dbus_wire::MethodCall(1, kBusName, "/org/freedesktop/DBus", kBusName, "Hello", {}),
          dbus_wire::MethodCall(2, kBusName, "/org/freedesktop/DBus", kBusName, "NameHasOwner",
                                {kWatcher}),
          dbus_wire::MethodCall(3, kWatcher, "/StatusNotifierWatcher",
                                "org.freedesktop.DBus.Properties", "Get",
                                {kWatcher, "IsStatusNotifierHostRegistered"}, true)}) {
        ask.insert(ask.end(), message.begin(), message.end());
    }
    const auto asked = Clock::now();
    auto deadline = asked + busLimit;
    if (!bus.Send(ask, deadline)) {
        state.bus = SessionBusAtStart::Bus::Silent;
        return;
    }
    bool helloAnswered = false;
    bool ownerAnswered = false;
    for (;;) {
        dbus_wire::Reply reply;
        bool bad = false;
        while (dbus_wire::TakeMessage(bus.received, reply, bad)) {
            if (reply.replySerial == 1) {
                helloAnswered = true;
                state.answered =
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
            } else if (reply.replySerial == 2) {
                ownerAnswered = true;
                state.watcherOwned = !reply.error && reply.hasBoolean && reply.boolean;
                if (state.watcherOwned) {
                    // The watcher gets its own time from here.
                    deadline = Clock::now() + watcherLimit;
                }
            } else if (reply.replySerial == 3) {
                state.watcherAnswers = state.watcherOwned;
                state.hostRegistered = !reply.error && reply.hasBoolean && reply.boolean;
            }
        }
        if (bad) {
            state.bus = SessionBusAtStart::Bus::Silent;
            return;
        }
        if (helloAnswered && ownerAnswered && (!state.watcherOwned || state.watcherAnswers)) {
            state.bus = SessionBusAtStart::Bus::Answers;
            return;
        }
        if (!bus.Receive(deadline)) {
            state.bus = helloAnswered && ownerAnswered ? SessionBusAtStart::Bus::Answers
                                                       : SessionBusAtStart::Bus::Silent;
            return;
        }
    }
}

#endif

} // namespace

SessionBusAtStart ProbeSessionBus(const std::string& address, std::chrono::milliseconds busLimit,
                                  std::chrono::milliseconds watcherLimit) {
    SessionBusAtStart state;
#ifdef __linux__
    const auto started = Clock::now();
    std::vector<Place> places;
    if (address.empty()) {
        // Where the library looks without an address: the session's own socket.
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
            struct stat st {};
            const std::string path = std::string(runtime) + "/bus";
            if (::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
                places.push_back({path, false});
            }
        }
        if (places.empty()) {
            return state; // the library would try to start a bus: not a question for here
        }
    } else {
        places = PlacesOf(address);
        if (places.empty()) {
            return state;
        }
    }
    state.bus = SessionBusAtStart::Bus::None;
    for (const Place& place : places) {
        const int fd = Connect(place);
        if (fd >= 0) {
            Conversation bus(fd);
            Converse(bus, state, busLimit, watcherLimit);
            break;
        }
    }
    state.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
#else
    (void)address;
    (void)busLimit;
    (void)watcherLimit;
#endif
    return state;
}

void PrepareSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    SessionBusAtStart& state = State();
    state = ProbeSessionBus(address != nullptr ? address : "");
#ifdef __linux__
    // A bus that does not answer would hold Qt's connection (and every window's first showing)
    // forever; a watcher that does not answer would hold Qt's tray icon for 25 s. Qt is pointed
    // away from such a bus before it can ask, and so counts it as no bus at all.
    if (state.bus == SessionBusAtStart::Bus::Silent || state.WatcherStuck()) {
        state.fencedOff = true;
        FencedAddress& fence = Fence();
        fence.fenced = true;
        fence.wasSet = address != nullptr;
        fence.value = address != nullptr ? address : "";
        ::setenv("DBUS_SESSION_BUS_ADDRESS", kNoBus, 1);
    }
#endif
}

void FinishSessionBusSetup() {
#if defined(TOVRIN_HAVE_DBUS)
    // Qt's connection to the session bus, made now: it is made once and kept, so the address put
    // in place of a bus that does not answer holds for the whole run.
    (void)QDBusConnection::sessionBus().isConnected();
    // Accessibility asks the bus once, when a window first shows; asked here, that happens at the
    // start rather than inside a handler of the running program.
    (void)QAccessible::isActive();
#endif
#ifdef __linux__
    FencedAddress& fence = Fence();
    if (fence.fenced) {
        // The programs the user opens from Tovrin (the help) see the environment they were given.
        if (fence.wasSet) {
            ::setenv("DBUS_SESSION_BUS_ADDRESS", fence.value.c_str(), 1);
        } else {
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
        fence = {};
    }
#endif
}

const SessionBusAtStart& SessionBusState() {
    return State();
}

void SetSessionBusStateForTests(const SessionBusAtStart& state) {
    State() = state;
}

} // namespace tovrin
