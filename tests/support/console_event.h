#pragma once

namespace tovrin::test {

// Windows: Ctrl+C on this process's console, delivered by the system to the handlers of every
// program on it. A test process started by ctest under Wine has no console that takes events, so
// it first gets one of its own (and only this process sits on it). False when none can be had.
bool PressCtrlCOnOwnConsole();

} // namespace tovrin::test
