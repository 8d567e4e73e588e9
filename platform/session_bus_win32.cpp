// Windows has no session bus: nothing to ask before Qt starts, and nothing to keep Qt off.
#include "platform/session_bus.h"

namespace tovrin {

namespace {

SessionBusAtStart& State() {
    static SessionBusAtStart state;
    return state;
}

} // namespace

SessionBusAtStart ProbeSessionBus(const std::string&, std::chrono::milliseconds,
                                  std::chrono::milliseconds) {
    SessionBusAtStart none;
    none.bus = SessionBusAtStart::Bus::None;
    return none;
}

void PrepareSessionBus() {
    State().bus = SessionBusAtStart::Bus::None;
}

void FinishSessionBusSetup() {}

const SessionBusAtStart& SessionBusState() {
    return State();
}

void SetSessionBusStateForTests(const SessionBusAtStart& state) {
    State() = state;
}

} // namespace tovrin
