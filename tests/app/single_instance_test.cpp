#include "platform/single_instance.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
#include <poll.h>
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
    Probe(const fs::path& program, const char* mode, uid_t uid = 0,
          const std::string& runtime = {}) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            if (uid != 0 && (::setgid(uid) != 0 || ::setuid(uid) != 0)) {
                ::_exit(126);
            }
            if (runtime == "-") {
                ::unsetenv("XDG_RUNTIME_DIR");
            } else if (!runtime.empty()) {
                ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            }
            ::execl(program.c_str(), program.c_str(), mode, static_cast<char*>(nullptr));
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
    std::string State() {
        std::string line;
        pollfd fd{output_, POLLIN, 0};
        while (line.find('\n') == std::string::npos && ::poll(&fd, 1, 10000) > 0) {
            char buffer[128];
            const ssize_t n = ::read(output_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            line.append(buffer, static_cast<std::size_t>(n));
        }
        return line.substr(0, line.find('\n'));
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

    // Where the marker files of our copy live.
    fs::path Marker(const char* suffix) const {
        return InstanceDir() / (ProgramKey(fs::canonical(probe_).string()) + suffix);
    }

    test::TempBase base_;
#ifdef _WIN32
    const fs::path probe_ = base_.Dir() / "instance_probe.exe";
#else
    const fs::path probe_ = base_.Dir() / "instance_probe";
#endif
};

TEST_F(SingleInstanceTest, SecondCopyIsRefusedWhileTheFirstRunsAndAdmittedAfter) {
    auto first = std::make_unique<Probe>(probe_, "hold");
    ASSERT_EQ(first->State(), "first");
    EXPECT_EQ(Probe(probe_, "quit").State(), "running");
    first.reset();
    EXPECT_EQ(Probe(probe_, "quit").State(), "first");
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
TEST_F(SingleInstanceTest, AnotherUsersCopyDoesNotStopOurs) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to start a copy as another user";
    }
    const uid_t nobody = 65534;
    Probe ours(probe_, "hold");
    ASSERT_EQ(ours.State(), "first");
    // Our runtime directory is not theirs, so their copy keeps its markers elsewhere.
    Probe theirs(probe_, "quit", nobody);
    const std::string state = theirs.State();
    if (state == "cannot-run") {
        GTEST_SKIP() << "the other user cannot run " << probe_;
    }
    EXPECT_EQ(state, "first");
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
    ASSERT_TRUE(fs::exists(Marker(".run")));
    fs::remove(Marker(".run"));
    fs::remove(Marker(".lock"));
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
