#include "os/single_instance.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#ifdef _WIN32
#include <cwctype>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tovrin {
namespace {

#ifdef _WIN32
// A copy of the probe program, started with its standard input and output on pipes.
class Probe {
public:
    Probe(const fs::path& program, const char* mode) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE inRead = nullptr;
        HANDLE outWrite = nullptr;
        if (!::CreatePipe(&inRead, &input_, &inherit, 0) ||
            !::CreatePipe(&output_, &outWrite, &inherit, 0)) {
            return;
        }
        // Only the probe's own ends go to it.
        ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = inRead;
        startup.hStdOutput = outWrite;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        std::wstring command = L"\"" + program.wstring() + L"\" ";
        for (const char* c = mode; *c != '\0'; ++c) {
            command.push_back(static_cast<wchar_t>(*c));
        }
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &started)) {
            ::CloseHandle(started.hThread);
            process_ = started.hProcess;
        }
        ::CloseHandle(inRead);
        ::CloseHandle(outWrite);
    }
    ~Probe() {
        Release();
        Wait();
        if (output_ != nullptr) {
            ::CloseHandle(output_);
        }
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // The probe's first line: how joining went.
    std::string State() {
        std::string line;
        for (int waited = 0; line.find('\n') == std::string::npos && waited < 10000;) {
            DWORD ready = 0;
            if (!::PeekNamedPipe(output_, nullptr, 0, nullptr, &ready, nullptr)) {
                break; // the probe has gone and its end with it
            }
            if (ready == 0) {
                ::Sleep(10);
                waited += 10;
                continue;
            }
            char buffer[128];
            DWORD n = 0;
            if (!::ReadFile(output_, buffer, sizeof buffer, &n, nullptr) || n == 0) {
                break;
            }
            line.append(buffer, n);
        }
        line = line.substr(0, line.find('\n'));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }
    // Lets a holding probe end.
    void Release() {
        if (input_ != nullptr) {
            ::CloseHandle(input_);
            input_ = nullptr;
        }
    }
    // The probe's exit code.
    int Wait() {
        if (process_ == nullptr) {
            return -1;
        }
        ::WaitForSingleObject(process_, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(process_, &code);
        ::CloseHandle(process_);
        process_ = nullptr;
        return static_cast<int>(code);
    }

private:
    HANDLE process_ = nullptr;
    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
};
#else
// A copy of the probe program, started with its standard input and output on pipes.
class Probe {
public:
    // `runtime`: the XDG_RUNTIME_DIR the copy starts with; "-" starts it without one.
    Probe(const fs::path& program, const char* mode, uid_t uid = 0, const std::string& runtime = {})
        : Probe(program, std::vector<std::string>{mode}, uid, runtime) {}
    Probe(const fs::path& program, const std::vector<std::string>& args, uid_t uid = 0,
          const std::string& runtime = {}) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            if (uid != 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)) {
                ::_exit(126);
            }
            if (runtime == "-") {
                ::unsetenv("XDG_RUNTIME_DIR");
            } else if (!runtime.empty()) {
                ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            }
            ::execv(program.c_str(), argv.data());
            [[maybe_unused]] const ssize_t n = ::write(1, "cannot-run\n", 11);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Probe() {
        Release();
        Wait();
        if (output_ >= 0) {
            ::close(output_);
        }
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // The probe's first line: how joining went.
    std::string State() { return Line(); }
    // The probe's next line.
    std::string Line() {
        pollfd fd{output_, POLLIN, 0};
        while (pending_.find('\n') == std::string::npos && ::poll(&fd, 1, 10000) > 0) {
            char buffer[128];
            const ssize_t n = ::read(output_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
        const std::size_t end = pending_.find('\n');
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end == std::string::npos ? pending_.size() : end + 1);
        return line;
    }
    // Lines up to one that says "end".
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (std::string line = Line(); !line.empty() && line != "end"; line = Line()) {
            lines.push_back(line);
        }
        return lines;
    }
    // Lets a holding probe end.
    void Release() {
        if (input_ >= 0) {
            ::close(input_);
            input_ = -1;
        }
    }
    int Wait() {
        if (pid_ <= 0) {
            return -1;
        }
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
};

#endif

// Every test runs its own copy of the probe: a copy at another path is another program, so tests
// running side by side never meet through the marker, whatever their environment.
class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() {
        fs::permissions(base_.Dir(), fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
        fs::copy_file(TOVRIN_INSTANCE_PROBE, probe_);
    }

#ifndef _WIN32
    // The presence files of our copy, one per key its program file is known by.
    std::vector<fs::path> Markers() {
        std::vector<fs::path> markers;
        for (const std::string& key : Probe(probe_, "keys").Lines()) {
            markers.push_back(InstanceDir() / (key + ".run"));
        }
        return markers;
    }
    bool AnyMarkerLeft() {
        const std::vector<fs::path> markers = Markers();
        return std::any_of(markers.begin(), markers.end(),
                           [](const fs::path& marker) { return fs::exists(marker); });
    }
#endif

    // The rule at work: a first copy, a second refused while it runs, admitted once it ends.
    void ExpectOneCopyAtATime() {
        auto first = std::make_unique<Probe>(probe_, "hold");
        EXPECT_EQ(first->State(), "first");
        EXPECT_EQ(Probe(probe_, "quit").State(), "running");
        first.reset();
        EXPECT_EQ(Probe(probe_, "quit").State(), "first");
    }

    test::TempBase base_;
#ifdef _WIN32
    const fs::path probe_ = base_.Dir() / "instance_probe.exe";
#else
    const fs::path probe_ = base_.Dir() / "instance_probe";
#endif
};

TEST_F(SingleInstanceTest, SecondCopyIsRefusedWhileTheFirstRunsAndAdmittedAfter) {
    ExpectOneCopyAtATime();
}

TEST_F(SingleInstanceTest, RefusedCopyStillShowingItsWarningCountsAsRunning) {
    auto first = std::make_unique<Probe>(probe_, "hold");
    ASSERT_EQ(first->State(), "first");
    auto warning = std::make_unique<Probe>(probe_, "hold");
    ASSERT_EQ(warning->State(), "running");
    first.reset();
    EXPECT_EQ(Probe(probe_, "quit").State(), "running");
    warning.reset();
    EXPECT_EQ(Probe(probe_, "quit").State(), "first");
}

TEST_F(SingleInstanceTest, CrashedCopyLeavesNothingBehind) {
    Probe crashed(probe_, "crash");
    ASSERT_EQ(crashed.State(), "first");
    const int status = crashed.Wait();
#ifdef _WIN32
    EXPECT_EQ(status, 9);
#else
    EXPECT_TRUE(WIFSIGNALED(status));
#endif
    EXPECT_EQ(Probe(probe_, "quit").State(), "first");
}

TEST_F(SingleInstanceTest, CopyOfTheProgramFileElsewhereRunsOnItsOwn) {
    const fs::path other = base_.Dir() / "elsewhere" / probe_.filename();
    fs::create_directories(other.parent_path());
    fs::copy_file(probe_, other);
    Probe first(probe_, "hold");
    ASSERT_EQ(first.State(), "first");
    Probe otherFirst(other, "hold");
    EXPECT_EQ(otherFirst.State(), "first");
    EXPECT_EQ(Probe(other, "quit").State(), "running");
    EXPECT_EQ(Probe(probe_, "quit").State(), "running");
}

TEST_F(SingleInstanceTest, CopiesStartedTogetherLetExactlyOneIn) {
    for (int round = 0; round < 5; ++round) {
        std::vector<std::unique_ptr<Probe>> probes;
        for (int i = 0; i < 6; ++i) {
            probes.push_back(std::make_unique<Probe>(probe_, "hold"));
        }
        std::vector<std::string> states;
        for (auto& probe : probes) {
            states.push_back(probe->State());
        }
        EXPECT_EQ(std::count(states.begin(), states.end(), "first"), 1) << "round " << round;
        EXPECT_EQ(std::count(states.begin(), states.end(), "running"), 5) << "round " << round;
    }
}

#ifdef _WIN32
// Windows finds a file whatever the case of its path: C:\Tovrin and c:\tovrin are one program.
TEST_F(SingleInstanceTest, ThePathInAnotherCaseIsTheSameProgram) {
    Probe first(probe_, "hold");
    ASSERT_EQ(first.State(), "first");
    std::wstring upper = probe_.wstring();
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    EXPECT_EQ(Probe(fs::path(upper), "quit").State(), "running");
}
#else
// A user id with no account, as `setpriv --reuid` gives: another user of the machine.
constexpr uid_t kOtherUser = 4242;

bool CanBeAnotherUser() {
    return ::geteuid() == 0;
}

TEST_F(SingleInstanceTest, AnotherUsersCopyDoesNotStopOurs) {
    if (!CanBeAnotherUser()) {
        GTEST_SKIP() << "needs root to start a copy as another user";
    }
    Probe ours(probe_, "hold");
    ASSERT_EQ(ours.State(), "first");
    // Our folder is not theirs, so their copy keeps its markers elsewhere (or, with no home of
    // its own, runs unchecked), and is never told ours is theirs.
    Probe theirs(probe_, "quit", kOtherUser);
    const std::string state = theirs.State();
    if (state == "cannot-run") {
        GTEST_SKIP() << "the other user cannot run " << probe_;
    }
    EXPECT_NE(state, "running");
}

TEST_F(SingleInstanceTest, NamesAnotherUserHoldsLockNobodyOut) {
    if (!CanBeAnotherUser()) {
        GTEST_SKIP() << "needs root to start a copy as another user";
    }
    // Abstract socket names have no owner: another user binds ours before we start, and the
    // names the program used before as well.
    std::vector<std::string> names = Probe(probe_, "names").Lines();
    ASSERT_FALSE(names.empty());
    for (const std::string& key : Probe(probe_, "keys").Lines()) {
        names.push_back("tovrin/" + std::to_string(::geteuid()) + "/" + key);
    }
    std::vector<std::string> args{"squat"};
    args.insert(args.end(), names.begin(), names.end());
    Probe squatter(probe_, args, kOtherUser);
    const std::string squatting = squatter.State();
    if (squatting == "cannot-run") {
        GTEST_SKIP() << "the other user cannot run " << probe_;
    }
    ASSERT_EQ(squatting, "squatting");
    ExpectOneCopyAtATime();
}

TEST_F(SingleInstanceTest, BoundNamesDoNotSayWhoRunsTheProgram) {
    Probe first(probe_, "hold");
    ASSERT_EQ(first.State(), "first");
    const std::vector<std::uint8_t> table = test::ReadBytes("/proc/net/unix");
    const std::string text(table.begin(), table.end());
    // Only our own program's names: a test running beside this one squats the old ones of its.
    for (const std::string& key : Probe(probe_, "keys").Lines()) {
        EXPECT_EQ(text.find("@tovrin/" + std::to_string(::geteuid()) + "/" + key),
                  std::string::npos);
        EXPECT_EQ(text.find(key), std::string::npos) << "the program's key is there to read";
    }
    for (const std::string& name : Probe(probe_, "names").Lines()) {
        EXPECT_NE(text.find("@" + name), std::string::npos) << name;
        EXPECT_EQ(name.find(std::to_string(::geteuid()) + "/"), std::string::npos) << name;
    }
}

// However the program file is named or started, it is the same program.
TEST_F(SingleInstanceTest, AHardLinkOrTheDynamicLoaderStartsTheSameProgram) {
    Probe first(probe_, "hold");
    ASSERT_EQ(first.State(), "first");
    const fs::path link = base_.Dir() / "linked" / "other-name";
    fs::create_directories(link.parent_path());
    fs::create_hard_link(probe_, link);
    EXPECT_EQ(Probe(link, "quit").State(), "running");
    const fs::path loader = "/lib64/ld-linux-x86-64.so.2";
    if (!fs::exists(loader)) {
        GTEST_SKIP() << "no " << loader;
    }
    EXPECT_EQ(Probe(loader, std::vector<std::string>{probe_.string(), "quit"}).State(), "running");
}

TEST_F(SingleInstanceTest, TheLastCopyToEndTakesTheMarkersWithIt) {
    auto first = std::make_unique<Probe>(probe_, "hold");
    ASSERT_EQ(first->State(), "first");
    auto refused = std::make_unique<Probe>(probe_, "hold");
    ASSERT_EQ(refused->State(), "running");
    ASSERT_TRUE(AnyMarkerLeft());
    first.reset();
    EXPECT_TRUE(AnyMarkerLeft()) << "the refused copy still counts as running";
    refused.reset();
    EXPECT_FALSE(AnyMarkerLeft());

    // A copy killed leaves them, and the next start clears them up. Every start sweeps the
    // folder, so a copy of another test starting meanwhile would clear them before we look:
    // the folder's mutex keeps all starts out while we do.
    Probe crashed(probe_, "crash");
    ASSERT_EQ(crashed.State(), "first");
    crashed.Wait();
    {
        const int mutex = ::open((InstanceDir() / "instance.lock").c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(mutex, 0);
        ASSERT_EQ(::flock(mutex, LOCK_EX), 0);
        EXPECT_TRUE(AnyMarkerLeft());
        ::close(mutex);
    }
    EXPECT_EQ(Probe(probe_, "quit").State(), "first");
    EXPECT_FALSE(AnyMarkerLeft());
}

// Runs `body` in a child process of its own mount namespace, with a fresh /tmp that only that
// child sees, and returns its exit status; 77 when no namespace could be made.
template <typename Body> int InPrivateTmp(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777") != 0) {
            ::_exit(77);
        }
        ::_exit(body());
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// As another user, `mkdir` then `chmod` a folder, or make a link: what they can do in /tmp.
bool AsOtherUser(const std::function<bool()>& act) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool done = ::setgroups(0, nullptr) == 0 && ::setgid(kOtherUser) == 0 &&
                          ::setuid(kOtherUser) == 0 && act();
        ::_exit(done ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(SingleInstanceTest, AnotherUserCannotTakeTheMarkersFolderFirst) {
    if (!CanBeAnotherUser()) {
        GTEST_SKIP() << "needs root to act as another user";
    }
    // The probe is reached through a descriptor: the private /tmp hides the test's own folder.
    const int program = ::open(probe_.c_str(), O_RDONLY);
    ASSERT_GE(program, 0);
    const std::string viaFd = "/proc/self/fd/" + std::to_string(program);
    const std::string uid = std::to_string(::geteuid());
    // Each way another user can make the folder a copy used to fall back on when the session
    // has no runtime folder: open to all, or a link to a folder of theirs.
    for (const bool asLink : {false, true}) {
        const int status = InPrivateTmp([&] {
            const bool planted = AsOtherUser([&] {
                const std::string theirs = "/tmp/theirs";
                if (::mkdir(theirs.c_str(), 0777) != 0 || ::chmod(theirs.c_str(), 0777) != 0) {
                    return false;
                }
                const std::string taken = "/tmp/tovrin-" + uid;
                return asLink
                           ? ::symlink(theirs.c_str(), taken.c_str()) == 0
                           : ::mkdir(taken.c_str(), 0777) == 0 && ::chmod(taken.c_str(), 0777) == 0;
            });
            if (!planted) {
                return 2;
            }
            Probe first(viaFd, "hold");
            if (first.State() != "first") {
                return 3;
            }
            return Probe(viaFd, "quit").State() == "running" ? 0 : 4;
        });
        if (status == 77) {
            GTEST_SKIP() << "no mount namespace could be made";
        }
        EXPECT_EQ(status, 0) << (asLink ? "a link planted" : "a folder open to all");
    }
    ::close(program);
}

TEST_F(SingleInstanceTest, CopiesStartedFromDifferentEnvironmentsMeet) {
    // The desktop's copy knows its session folder; one from cron or `su` may not, or may be told
    // another.
    const fs::path elsewhere = base_.Dir() / "runtime";
    fs::create_directory(elsewhere);
    fs::permissions(elsewhere, fs::perms::owner_all);
    Probe desktop(probe_, "hold", 0, elsewhere.string());
    ASSERT_EQ(desktop.State(), "first");
    EXPECT_EQ(Probe(probe_, "quit", 0, "-").State(), "running");
    EXPECT_EQ(Probe(probe_, "quit", 0, "/nonexistent").State(), "running");
    EXPECT_FALSE(fs::exists(elsewhere / "tovrin"));
}

TEST_F(SingleInstanceTest, DeletingTheMarkerWhileACopyRunsLetsNoSecondIn) {
    auto first = std::make_unique<Probe>(probe_, "hold");
    ASSERT_EQ(first->State(), "first");
    ASSERT_TRUE(AnyMarkerLeft());
    for (const fs::path& marker : Markers()) {
        fs::remove(marker);
    }
    EXPECT_EQ(Probe(probe_, "quit").State(), "running");
    first.reset();
    EXPECT_EQ(Probe(probe_, "quit").State(), "first");
}

#endif

TEST(ProgramKeyTest, NamesThePathInSixteenHexDigits) {
    EXPECT_EQ(ProgramKey("/usr/bin/tovrin").size(), 16u);
    EXPECT_NE(ProgramKey("/usr/bin/tovrin"), ProgramKey("/opt/tovrin/tovrin"));
    EXPECT_EQ(ProgramKey("/usr/bin/tovrin"), ProgramKey("/usr/bin/tovrin"));
    EXPECT_FALSE(ProgramFilePath().empty());
}

} // namespace
} // namespace tovrin
