// The start's own question to the session bus: how long it may take, what it makes of each kind
// of bus, and how it keeps Qt off one that does not answer.
#include "platform/session_bus.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using Bus = SessionBusAtStart::Bus;

constexpr milliseconds kLimit{300};

// A socket that is listened on and never read: the kernel takes each connection for it, and
// nothing ever answers. -1 when it cannot be made.
int SilentBus(const fs::path& path) {
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 8) != 0) {
        return -1;
    }
    return listener;
}

// A program of the test's own, in the background, ended with the test.
class Child {
public:
    Child() = default;
    explicit Child(const std::vector<std::string>& command, const std::string& output = {}) {
        pid_ = ::fork();
        if (pid_ == 0) {
            if (!output.empty()) {
                std::freopen(output.c_str(), "w", stdout);
            }
            std::freopen("/dev/null", "w", stderr);
            std::vector<char*> argv;
            for (const std::string& arg : command) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGCONT);
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

// A bus of the test's own. Empty address when dbus-daemon is not installed.
class SessionBusTest : public ::testing::Test {
protected:
    void StartBus() {
        const fs::path printed = base_.Dir() / "address";
        bus_ = std::make_unique<Child>(
            std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address=1"},
            printed.string());
        for (int i = 0; i < 100 && address_.empty(); ++i) {
            ::usleep(20000);
            std::string text;
            if (FILE* file = std::fopen(printed.c_str(), "r")) {
                char line[512] = {};
                if (std::fgets(line, sizeof line, file) != nullptr) {
                    text = line;
                }
                std::fclose(file);
            }
            if (!text.empty() && text.back() == '\n') {
                address_ = text.substr(0, text.size() - 1);
            }
        }
    }
    bool WatcherUp() const {
        const std::string ask = "DBUS_SESSION_BUS_ADDRESS='" + address_ +
                                "' dbus-send --session --print-reply --dest=org.freedesktop.DBus "
                                "/ org.freedesktop.DBus.NameHasOwner "
                                "string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true";
        return std::system(ask.c_str()) == 0;
    }

    test::TempBase base_;
    std::unique_ptr<Child> bus_;
    std::string address_;
};

TEST_F(SessionBusTest, AnAnsweringBusAndItsWatcherAreToldApartFromSilentOnes) {
    StartBus();
    if (address_.empty()) {
        GTEST_SKIP() << "no dbus-daemon";
    }
    SessionBusAtStart state = ProbeSessionBus(address_, kLimit, kLimit);
    EXPECT_EQ(state.bus, Bus::Answers);
    EXPECT_FALSE(state.watcherOwned);
    EXPECT_LT(state.took, kLimit);

    ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    Child watcher({"status-notifier-watcher"});
    for (int i = 0; i < 100 && !WatcherUp(); ++i) {
        ::usleep(50000);
    }
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!WatcherUp()) {
        GTEST_SKIP() << "no status-notifier-watcher";
    }
    state = ProbeSessionBus(address_, kLimit, kLimit);
    EXPECT_EQ(state.bus, Bus::Answers);
    EXPECT_TRUE(state.watcherOwned);
    EXPECT_TRUE(state.watcherAnswers);
    EXPECT_FALSE(state.hostRegistered);
    EXPECT_FALSE(state.WatcherStuck());

    // Stopped, it keeps its name and answers nothing: the question gives up on it in time.
    ::kill(watcher.Pid(), SIGSTOP);
    const auto started = std::chrono::steady_clock::now();
    state = ProbeSessionBus(address_, kLimit, kLimit);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(state.bus, Bus::Answers);
    EXPECT_TRUE(state.WatcherStuck());
    EXPECT_LT(took, 2 * kLimit + milliseconds(200));
}

TEST_F(SessionBusTest, ABusThatTakesTheConnectionAndNeverAnswersIsSilentWithinTheLimit) {
    const fs::path path = base_.Dir() / "silent";
    const int listener = SilentBus(path);
    ASSERT_GE(listener, 0);
    const auto started = std::chrono::steady_clock::now();
    const SessionBusAtStart state =
        ProbeSessionBus("unix:path=" + path.string() + ",guid=0123", kLimit, kLimit);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(state.bus, Bus::Silent);
    EXPECT_GE(took, kLimit - milliseconds(20)); // it waited, and no longer
    EXPECT_LT(took, kLimit + milliseconds(300));
    ::close(listener);

    // Nobody there at all: said at once. An address of another kind is not asked.
    EXPECT_EQ(ProbeSessionBus("unix:path=" + path.string(), kLimit, kLimit).bus, Bus::None);
    EXPECT_EQ(ProbeSessionBus("tcp:host=localhost,port=1", kLimit, kLimit).bus, Bus::Unknown);
}

TEST_F(SessionBusTest, QtIsPointedAwayFromASilentBusAndTheUsersProgramsAreNot) {
    const fs::path path = base_.Dir() / "silent";
    const int listener = SilentBus(path);
    ASSERT_GE(listener, 0);
    // In a process of its own: Qt keeps its first connection for the life of the process.
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string silent = "unix:path=" + path.string();
        ::setenv("DBUS_SESSION_BUS_ADDRESS", silent.c_str(), 1);
        PrepareSessionBus();
        const std::string during = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        const bool fenced = SessionBusState().fencedOff && during != silent;
        FinishSessionBusSetup(); // would wait for ever on the silent bus
        const char* after = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        ::_exit(fenced && after != nullptr && silent == after ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(listener);
}

// Whatever bytes a bus sends back, reading them ends: no crash, no read past them.
TEST(DbusWire, AnyBytesAreReadSafely) {
    std::mt19937 random(18);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes(random() % 200);
        for (std::uint8_t& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        if (!bytes.empty() && round % 2 == 0) {
            bytes[0] = 'l';
        }
        dbus_wire::Reply reply;
        bool bad = false;
        std::size_t taken = 0;
        while (dbus_wire::TakeMessage(bytes, reply, bad) && ++taken < 100) {
        }
        SUCCEED();
    }
    // A message our own writer makes reads back as a whole one, and is not a reply.
    std::vector<std::uint8_t> call = dbus_wire::MethodCall(
        7, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        {"org.kde.StatusNotifierWatcher"});
    call.push_back(0xAB);
    dbus_wire::Reply reply;
    bool bad = false;
    ASSERT_TRUE(dbus_wire::TakeMessage(call, reply, bad));
    EXPECT_FALSE(bad);
    EXPECT_EQ(reply.replySerial, 0u);
    EXPECT_EQ(call, std::vector<std::uint8_t>{0xAB});
}

} // namespace
} // namespace tovrin
