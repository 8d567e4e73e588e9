// Joins the copies of its own program file the way Tovrin does, says how that went on its first
// line ("first", "running" or "unchecked"), then, as its argument asks:
//   hold   keep the marker until standard input ends
//   crash  die at once while holding it (SIGKILL; on Windows TerminateProcess)
//   quit   end at once
#include "platform/single_instance.h"

#include <cstdio>
#include <cstring>
#ifdef _WIN32
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <unistd.h>
#endif

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "quit";
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
        char buffer[64];
        while (::read(0, buffer, static_cast<unsigned>(sizeof buffer)) > 0) {
        }
    }
    return 0;
}
