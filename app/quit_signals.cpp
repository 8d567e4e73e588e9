#include "app/quit_signals.h"

#include "os/os_seams.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tovrin {
namespace {

int signalPipe[2] = {-1, -1};

} // namespace

void QuitSignals::Request(int request) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(request);
    // Nothing else is safe in a handler; a full pipe means the loop already has news waiting.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

QuitSignals::QuitSignals(std::function<void(int signal)> onSignal)
    : onSignal_(std::move(onSignal)) {
    if (signalPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char bytes[16];
        ssize_t n = 0;
        while ((n = ::read(signalPipe[0], bytes, sizeof bytes)) > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                Deliver(bytes[i]);
            }
        }
    });
    active_ = true;
    // A signal ignored at start (nohup, a background job) stays ignored.
    WatchEndRequests(Request);
}

QuitSignals::~QuitSignals() {
    if (!active_) {
        return;
    }
    StopWatchingEndRequests();
    notifier_.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignals::Deliver(int request) {
    if (onSignal_) {
        onSignal_(request);
    }
}

} // namespace tovrin
