#include "support/console_event.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tovrin::test {

bool PressCtrlCOnOwnConsole() {
    if (::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        return true;
    }
    // The standard streams keep their pipes: the C library took their handles at start.
    ::FreeConsole();
    if (!::AllocConsole()) {
        return false;
    }
    // A console of one's own starts with Ctrl+C on; make sure nobody turned it off.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    return ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
}

} // namespace tovrin::test
