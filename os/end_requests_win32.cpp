#include "os/os_seams.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>

namespace tovrin {
namespace {

std::atomic<EndRequestHandler> handler{nullptr};
HANDLE finished = nullptr; // set when the program has saved and is about to leave

// Runs on a thread the system makes for the event. For the console closing, logoff and shutdown
// the system ends the process as soon as this returns, so it waits (within the few seconds the
// system allows) for the program to have saved and left its loop.
BOOL WINAPI OnControlEvent(DWORD event) {
    const EndRequestHandler onRequest = handler.load();
    if (onRequest == nullptr) {
        return FALSE;
    }
    onRequest(static_cast<int>(event));
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        if (finished != nullptr) {
            ::WaitForSingleObject(finished, 4500);
        }
    }
    return TRUE;
}

} // namespace

std::vector<int> WatchEndRequests(EndRequestHandler onRequest) {
    if (finished == nullptr) {
        finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    handler.store(onRequest);
    if (!::SetConsoleCtrlHandler(OnControlEvent, TRUE)) {
        handler.store(nullptr);
        return {};
    }
    // A program started with Ctrl+C turned off (a background job) keeps it off: the system does
    // not deliver that event to it, which is the choice of whoever started it.
    return {CTRL_C_EVENT, CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT,
            CTRL_SHUTDOWN_EVENT};
}

void StopWatchingEndRequests() {
    handler.store(nullptr);
    ::SetConsoleCtrlHandler(OnControlEvent, FALSE);
    if (finished != nullptr) {
        ::SetEvent(finished);
    }
}

std::filesystem::path ProgramFilesFolder() {
    std::error_code ec;
    return std::filesystem::current_path(ec) / "Base";
}

} // namespace tovrin
