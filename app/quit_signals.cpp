#include "app/quit_signals.h"

#include "platform/os_seams.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tovrin {
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int signal) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // Nothing else is safe in a handler; a full pipe means the loop already has news waiting.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(std::function<void(int signal)> onSignal)
    : onSignal_(std::move(onSignal)) {
    if (signalPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QuitSignals::Drain);
    // A signal ignored at start (nohup, a background job) stays ignored.
    WatchEndRequests(OnQuitSignal);
}

QuitSignals::~QuitSignals() {
    if (!notifier_) {
        return;
    }
    StopWatchingEndRequests();
    notifier_.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignals::Drain() {
    unsigned char bytes[16];
    ssize_t n = 0;
    while ((n = ::read(signalPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (onSignal_) {
                onSignal_(bytes[i]);
            }
        }
    }
}

} // namespace tovrin
