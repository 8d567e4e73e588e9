#include "platform/single_instance.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace tovrin {
namespace {

// A copy of the probe program, started with its standard input and output on pipes.
class Probe {
public:
    Probe(const fs::path& program, const char* mode, uid_t uid = 0) {
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

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        oldRuntime_ = old != nullptr ? old : "";
        runtime_ = base_.Dir() / "runtime";
        fs::create_directory(runtime_);
        ::chmod(runtime_.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    }
    ~SingleInstanceTest() override {
        if (oldRuntime_.empty()) {
            ::unsetenv("XDG_RUNTIME_DIR");
        } else {
            ::setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
        }
    }

    test::TempBase base_;
    fs::path runtime_;
    std::string oldRuntime_;
    const fs::path probe_ = TOVRIN_INSTANCE_PROBE;
};

TEST_F(SingleInstanceTest, OneHolderPerKeyUntilItLetsGo) {
    const fs::path dir = InstanceDir();
    ASSERT_FALSE(dir.empty());
    {
        const SingleInstance first = SingleInstance::Join(dir, "aaaa");
        EXPECT_EQ(first.GetState(), SingleInstance::State::First);
        const SingleInstance second = SingleInstance::Join(dir, "aaaa");
        EXPECT_EQ(second.GetState(), SingleInstance::State::AlreadyRunning);
        EXPECT_EQ(SingleInstance::Join(dir, "bbbb").GetState(), SingleInstance::State::First);
    }
    EXPECT_EQ(SingleInstance::Join(dir, "aaaa").GetState(), SingleInstance::State::First);
}

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
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Probe(probe_, "quit").State(), "first");
}

TEST_F(SingleInstanceTest, CopyOfTheProgramFileElsewhereRunsOnItsOwn) {
    const fs::path other = base_.Dir() / "elsewhere" / "instance_probe";
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

TEST_F(SingleInstanceTest, MarkersLiveOnlyInADirectoryThatIsOursAlone) {
    const fs::path dir = InstanceDir();
    EXPECT_EQ(dir, runtime_ / "tovrin");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Somebody else's way in: a link, or a directory others may write to.
    fs::remove(dir);
    fs::create_directory(base_.Dir() / "trap");
    fs::create_directory_symlink(base_.Dir() / "trap", dir);
    std::string problem;
    EXPECT_TRUE(InstanceDir(&problem).empty());
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(Probe(probe_, "quit").State().rfind("unchecked", 0), 0u);

    fs::remove(dir);
    fs::create_directory(dir);
    ::chmod(dir.c_str(), 0777);
    EXPECT_TRUE(InstanceDir().empty());

    // Without a runtime directory, one of our own under /tmp.
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceDir(), fs::path("/tmp/tovrin-" + std::to_string(::geteuid())));
}

TEST(ProgramKeyTest, NamesThePathInSixteenHexDigits) {
    EXPECT_EQ(ProgramKey("/usr/bin/tovrin").size(), 16u);
    EXPECT_NE(ProgramKey("/usr/bin/tovrin"), ProgramKey("/opt/tovrin/tovrin"));
    EXPECT_EQ(ProgramKey("/usr/bin/tovrin"), ProgramKey("/usr/bin/tovrin"));
    EXPECT_FALSE(ProgramFilePath().empty());
}

} // namespace
} // namespace tovrin
