#include "os/os_seams.h"

#include <array>
#include <csignal>

namespace tovrin {
namespace {

constexpr std::array kEndSignals{SIGTERM, SIGINT, SIGHUP};

// What each signal did before we watched it, so that stopping puts it back.
struct Previous {
    bool saved = false;
    struct sigaction action {};
};
std::array<Previous, kEndSignals.size()> previous;

} // namespace

std::vector<int> WatchEndRequests(EndRequestHandler onRequest) {
    std::vector<int> watched;
    struct sigaction action {};
    action.sa_handler = onRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kEndSignals.size(); ++i) {
        Previous& before = previous[i];
        if (!before.saved) {
            if (::sigaction(kEndSignals[i], nullptr, &before.action) != 0) {
                continue;
            }
            before.saved = true;
        }
        if (before.action.sa_handler == SIG_IGN) {
            continue;
        }
        if (::sigaction(kEndSignals[i], &action, nullptr) == 0) {
            watched.push_back(kEndSignals[i]);
        }
    }
    return watched;
}

void StopWatchingEndRequests() {
    for (std::size_t i = 0; i < kEndSignals.size(); ++i) {
        if (previous[i].saved) {
            ::sigaction(kEndSignals[i], &previous[i].action, nullptr);
            previous[i].saved = false;
        }
    }
}

std::filesystem::path ProgramFilesFolder() {
    std::error_code ec;
    return std::filesystem::current_path(ec) / "Base";
}

} // namespace tovrin
