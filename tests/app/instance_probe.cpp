// Joins the copies of its own program file the way Tovrin does, says how that went on its first
// line ("first", "running" or "unchecked"), then, as its argument asks:
//   hold   keep the marker until standard input ends
//   crash  die at once while holding it (SIGKILL; on Windows TerminateProcess)
//   quit   end at once
// Or, without joining:
//   keys        prints the keys its program file is known by, one a line, then "end"
//   names       prints the abstract socket names a first copy of it binds, then "end"
//   squat N...  binds and listens on the abstract names N..., says "squatting", and holds them
//               until standard input ends (run as another user, it stands for one who took them)
#include "os/single_instance.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#ifdef _WIN32
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

void WaitForEndOfInput() {
    char buffer[64];
    while (::read(0, buffer, static_cast<unsigned>(sizeof buffer)) > 0) {
    }
}

#ifndef _WIN32
int Squat(int count, char** names) {
    std::vector<int> held;
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i];
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, name.data(), name.size());
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
            ::listen(fd, 8) != 0) {
            std::printf("cannot squat %s\n", name.c_str());
            return 1;
        }
        held.push_back(fd);
    }
    std::puts("squatting");
    std::fflush(stdout);
    WaitForEndOfInput();
    return 0;
}
#endif

void PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::puts(line.c_str());
    }
    std::puts("end");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "quit";
    if (std::strcmp(mode, "keys") == 0) {
        PrintLines(tovrin::ProgramKeys());
        return 0;
    }
    if (std::strcmp(mode, "names") == 0) {
        PrintLines(tovrin::WitnessNames(tovrin::ProgramKeys()));
        return 0;
    }
#ifndef _WIN32
    if (std::strcmp(mode, "squat") == 0) {
        return Squat(argc - 2, argv + 2);
    }
#endif
    const tovrin::SingleInstance instance = tovrin::SingleInstance::Join();
    switch (instance.GetState()) {
    case tovrin::SingleInstance::State::First:
        std::puts("first");
        break;
    case tovrin::SingleInstance::State::AlreadyRunning:
        std::puts("running");
        break;
    case tovrin::SingleInstance::State::Unchecked:
        std::printf("unchecked %s\n", instance.Problem().c_str());
        break;
    }
    std::fflush(stdout);
    if (std::strcmp(mode, "crash") == 0) {
#ifdef _WIN32
        ::TerminateProcess(::GetCurrentProcess(), 9);
#else
        ::kill(::getpid(), SIGKILL);
#endif
    }
    if (std::strcmp(mode, "hold") == 0) {
        WaitForEndOfInput();
    }
    return 0;
}
