#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tovrin {

// What the session bus (D-Bus) said when the program started, asked by the program itself before
// anything of Qt's could ask: Qt connects to the bus the first time a window shows (for
// accessibility), or a tray icon is made, and waits on it without end when it never answers.
struct SessionBusAtStart {
    enum class Bus {
        Unknown, // not asked (tests), or reached in a way the question does not speak
        None,    // no bus to connect to: every use of it fails at once
        Answers, // it answered in time
        Silent,  // it took the connection and did not answer in time
    };
    Bus bus = Bus::Unknown;
    bool watcherOwned = false;   // a StatusNotifier watcher holds its name on it
    bool watcherAnswers = false; // and answered in time
    bool hostRegistered = false; // and said a host shows items
    // Qt is kept off this bus for the whole run: it does not answer, or its watcher does not.
    bool fencedOff = false;
    std::chrono::milliseconds took{0};
    // How long the bus took to answer its first question (Hello), once it had let us in.
    std::chrono::milliseconds answered{0};

    // A StatusNotifier watcher holds its name and does not answer.
    bool WatcherStuck() const { return watcherOwned && !watcherAnswers; }
};

// How long the start waits for the bus to answer each step, and for a watcher to answer.
inline constexpr std::chrono::milliseconds kBusAnswerLimit{1000};
inline constexpr std::chrono::milliseconds kWatcherAnswerLimit{500};

// Asks the bus at `address` (a D-Bus address, as in DBUS_SESSION_BUS_ADDRESS; empty: where the
// library would look without one) whether it answers, and whether a StatusNotifier watcher on it
// answers, each within its limit. Never waits longer than the limits together.
SessionBusAtStart ProbeSessionBus(const std::string& address,
                                  std::chrono::milliseconds busLimit = kBusAnswerLimit,
                                  std::chrono::milliseconds watcherLimit = kWatcherAnswerLimit);

// Before the QApplication is made: asks the session bus, and where it or its watcher does not
// answer, points this process (not the programs it starts) away from it, so that no part of Qt
// ever waits on it. Then, once the QApplication exists, FinishSessionBusSetup() settles Qt's side:
// its connection made now, at the start, rather than when the first window shows in the running
// program.
void PrepareSessionBus();
void FinishSessionBusSetup();
// What PrepareSessionBus found (Unknown when it was not called).
const SessionBusAtStart& SessionBusState();
// For tests: the state the tray's watch starts from.
void SetSessionBusStateForTests(const SessionBusAtStart& state);

namespace dbus_wire {

// The few D-Bus messages the start asks, and the replies it reads: only what that needs, every
// length checked against the bytes there are.
std::vector<std::uint8_t> MethodCall(std::uint32_t serial, const std::string& destination,
                                     const std::string& path, const std::string& interface,
                                     const std::string& member,
                                     const std::vector<std::string>& stringArgs,
                                     bool noAutoStart = false);

struct Reply {
    std::uint32_t replySerial = 0;
    bool error = false;
    // The first boolean of the body, or of the variant that is the body (a property's value).
    bool boolean = false;
    bool hasBoolean = false;
};

// Takes one whole message off the front of `bytes`, if a whole one is there. A message that is not
// a reply gives replySerial 0. False when more bytes are needed; `bad` when the bytes cannot be a
// message at all.
bool TakeMessage(std::vector<std::uint8_t>& bytes, Reply& reply, bool& bad);

} // namespace dbus_wire

} // namespace tovrin
