// A session bus that misbehaves the way a stopped or overloaded one does, for the runs that check
// the program never waits on it:
//   bus_proxy silent LISTEN        accepts every connection on the socket LISTEN and never answers
//   bus_proxy slow LISTEN BUS MS   passes every connection on to the bus at the socket BUS, holding
//                                  each piece the bus sends back for MS milliseconds
// Prints "ready" once LISTEN takes connections; runs until killed.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_un AddressOf(const char* path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    return address;
}

int Listen(const char* path) {
    ::unlink(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 64) != 0) {
        std::perror("bus_proxy: listen");
        std::exit(2);
    }
    return fd;
}

int ConnectTo(const char* path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = AddressOf(path);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

// One client and its connection to the real bus. What the client sends goes on at once; what the
// bus answers waits `delay` before it goes back, in order.
struct Pair {
    int client = -1;
    int bus = -1;
    std::string toBus;
    std::deque<std::pair<Clock::time_point, std::string>> toClient;
    bool open = true;
};

bool WriteSome(int fd, std::string& pending) {
    while (!pending.empty()) {
        const ssize_t n = ::send(fd, pending.data(), pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        pending.erase(0, static_cast<std::size_t>(n));
    }
    return true;
}

[[noreturn]] void Silent(const char* listen) {
    const int server = Listen(listen);
    std::puts("ready");
    std::fflush(stdout);
    std::vector<int> kept; // held open, never read nor answered
    for (;;) {
        const int client = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            kept.push_back(client);
        }
    }
}

[[noreturn]] void Slow(const char* listen, const char* bus, int delayMs) {
    const int server = Listen(listen);
    std::puts("ready");
    std::fflush(stdout);
    const auto delay = std::chrono::milliseconds(delayMs);
    std::vector<Pair> pairs;
    for (;;) {
        std::vector<pollfd> fds{{server, POLLIN, 0}};
        auto next = Clock::time_point::max();
        for (const Pair& p : pairs) {
            fds.push_back({p.client, static_cast<short>(POLLIN), 0});
            fds.push_back({p.bus, static_cast<short>(POLLIN | (p.toBus.empty() ? 0 : POLLOUT)), 0});
            if (!p.toClient.empty() && p.toClient.front().first < next) {
                next = p.toClient.front().first;
            }
        }
        int timeout = -1;
        if (next != Clock::time_point::max()) {
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
            timeout = wait < 0 ? 0 : static_cast<int>(wait) + 1;
        }
        ::poll(fds.data(), fds.size(), timeout);
        if ((fds[0].revents & POLLIN) != 0) {
            const int client = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
            const int upstream = client >= 0 ? ConnectTo(bus) : -1;
            if (upstream >= 0) {
                pairs.push_back(Pair{client, upstream, {}, {}, true});
            } else if (client >= 0) {
                ::close(client);
            }
        }
        char buffer[65536];
        for (std::size_t i = 0; i < pairs.size() && 1 + 2 * i + 1 < fds.size(); ++i) {
            Pair& p = pairs[i];
            if ((fds[1 + 2 * i].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = ::recv(p.client, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n > 0) {
                    p.toBus.append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0) {
                    p.open = false;
                }
            }
            if ((fds[2 + 2 * i].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = ::recv(p.bus, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n > 0) {
                    p.toClient.emplace_back(Clock::now() + delay,
                                            std::string(buffer, static_cast<std::size_t>(n)));
                } else if (n == 0) {
                    p.open = false;
                }
            }
            if (!WriteSome(p.bus, p.toBus)) {
                p.open = false;
            }
            while (!p.toClient.empty() && p.toClient.front().first <= Clock::now()) {
                if (!WriteSome(p.client, p.toClient.front().second)) {
                    p.open = false;
                    break;
                }
                if (!p.toClient.front().second.empty()) {
                    break; // the client is full: the rest waits for room
                }
                p.toClient.pop_front();
            }
        }
        for (auto it = pairs.begin(); it != pairs.end();) {
            if (!it->open) {
                ::close(it->client);
                ::close(it->bus);
                it = pairs.erase(it);
            } else {
                ++it;
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "silent" && argc == 3) {
        Silent(argv[2]);
    }
    if (mode == "slow" && argc == 5) {
        Slow(argv[2], argv[3], std::atoi(argv[4]));
    }
    std::fprintf(stderr, "usage: bus_proxy silent LISTEN | bus_proxy slow LISTEN BUS MS\n");
    return 2;
}
