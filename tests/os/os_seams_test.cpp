// The operating system's seams, on whichever system the tests run: Linux here, Windows under Wine
// in the cross-build.
#include "os/os_seams.h"
#include "support/console_event.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tovrin {
namespace {

// A key no other test run uses at the same time, as a program file of its own would give.
std::string UniqueKey(const test::TempBase& base) {
    return ProgramKey(base.Dir().string());
}

TEST(OsSeams, OneCopyPerProgramFileUntilEveryHolderHasGone) {
    test::TempBase base;
    const std::string key = UniqueKey(base);
    const fs::path dir = base.Dir() / "markers";
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms::owner_all);
    {
        const SingleInstance first = SingleInstance::Join(dir, key);
        EXPECT_EQ(first.GetState(), SingleInstance::State::First) << first.Problem();
        {
            // A refused copy still showing its warning counts as running.
            const SingleInstance refused = SingleInstance::Join(dir, key);
            EXPECT_EQ(refused.GetState(), SingleInstance::State::AlreadyRunning);
            EXPECT_EQ(SingleInstance::Join(dir, key + "-other").GetState(),
                      SingleInstance::State::First);
        }
        EXPECT_EQ(SingleInstance::Join(dir, key).GetState(), SingleInstance::State::AlreadyRunning);
    }
    EXPECT_EQ(SingleInstance::Join(dir, key).GetState(), SingleInstance::State::First);
}

TEST(OsSeams, TheProgramFileIsNamedAndKeyed) {
    const std::string path = ProgramFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.find("os_seams_test"), std::string::npos) << path;
    EXPECT_EQ(ProgramKey(path).size(), 16u);
    EXPECT_NE(ProgramKey(path), ProgramKey(path + "x"));
}

// A second name for the program file is the same program; a copy of it is another.
TEST(OsSeams, AFileIsKnownByWhatItIsNotByItsName) {
    test::TempBase base;
    const fs::path file = base.Dir() / "program";
    test::WriteText(file, "a program");
    fs::create_hard_link(file, base.Dir() / "linked");
    fs::copy_file(file, base.Dir() / "copied");
    const std::string identity = FileIdentity(file);
    ASSERT_FALSE(identity.empty());
    EXPECT_EQ(FileIdentity(base.Dir() / "linked"), identity);
    EXPECT_NE(FileIdentity(base.Dir() / "copied"), identity);
    EXPECT_TRUE(FileIdentity(base.Dir() / "missing").empty());
    EXPECT_FALSE(ProgramFileIdentity().empty());
    EXPECT_EQ(ProgramKeys().size(), 2u);
}

TEST(OsSeams, TheFilesLiveInBaseUnderTheWorkingDirectory) {
    test::TempBase base;
    EXPECT_TRUE(fs::equivalent(ProgramFilesFolder(), base.Base()));
}

#ifndef _WIN32

TEST(OsSeams, DeletingTheMarkersWhileTheFirstCopyRunsLetsNoSecondIn) {
    test::TempBase base;
    const std::string key = UniqueKey(base);
    const fs::path dir = base.Dir() / "markers";
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms::owner_all);
    const SingleInstance first = SingleInstance::Join(dir, key);
    ASSERT_EQ(first.GetState(), SingleInstance::State::First);

    // A tidy-up of the folder: the marker files go, then the whole folder.
    fs::remove(dir / (key + ".run"));
    EXPECT_EQ(SingleInstance::Join(dir, key).GetState(), SingleInstance::State::AlreadyRunning);
    fs::remove_all(dir);
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(SingleInstance::Join(dir, key).GetState(), SingleInstance::State::AlreadyRunning);
}

TEST(OsSeams, TheMarkersPlaceFollowsTheUserNotTheEnvironment) {
    test::TempBase base;
    const fs::path session = base.Dir() / "session";
    const fs::path fallback = base.Dir() / "fallback";

    // No session folder: the private fallback.
    EXPECT_EQ(InstanceDir(session, fallback), fallback);
    EXPECT_EQ(fs::status(fallback).permissions(), fs::perms::owner_all);

    // The session's folder of this user, written by nobody else: the markers live inside it.
    fs::create_directory(session);
    fs::permissions(session, fs::perms::owner_all);
    EXPECT_EQ(InstanceDir(session, fallback), session / "tovrin");

    // One others may write to, or a link planted in its place, is not trusted.
    fs::permissions(session, fs::perms::owner_all | fs::perms::others_all);
    EXPECT_EQ(InstanceDir(session, fallback), fallback);
    fs::remove_all(session);
    fs::create_directory_symlink(base.Dir(), session);
    EXPECT_EQ(InstanceDir(session, fallback), fallback);

    // A fallback that is not ours alone refuses, with a reason.
    fs::permissions(fallback, fs::perms::owner_all | fs::perms::group_all);
    std::string problem;
    EXPECT_TRUE(InstanceDir(session, fallback, &problem).empty());
    EXPECT_FALSE(problem.empty());

    // A fallback in a folder others may write to: they could have made it first, or swap it.
    const fs::path open = base.Dir() / "open";
    fs::create_directory(open);
    fs::permissions(open, fs::perms::all);
    problem.clear();
    EXPECT_TRUE(InstanceDir(session, open / "tovrin", &problem).empty());
    EXPECT_NE(problem.find("other users may write"), std::string::npos) << problem;

    // What the session says about itself makes no difference, and the shared /tmp is never used.
    const fs::path chosen = InstanceDir();
    ASSERT_FALSE(chosen.empty());
    EXPECT_NE(chosen.string().rfind("/tmp/", 0), 0u) << chosen;
    ::setenv("XDG_RUNTIME_DIR", session.c_str(), 1);
    EXPECT_EQ(InstanceDir(), chosen);
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceDir(), chosen);
}

std::atomic<int> lastRequest{0};
void RecordRequest(int request) {
    lastRequest = request;
}

// Runs `body` in a child process and returns its exit status: signals are process-wide.
template <typename Body> int InChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(OsSeams, SignalsIgnoredAtStartStayIgnoredTheOthersAreWatched) {
    const int status = InChild([] {
        // Whatever the test run itself was started with, then SIGHUP ignored as nohup does it.
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGHUP, SIG_IGN);
        const std::vector<int> watched = WatchEndRequests(RecordRequest);
        if (watched != std::vector<int>{SIGTERM, SIGINT}) {
            return 1;
        }
        ::raise(SIGHUP);
        if (lastRequest != 0) {
            return 2;
        }
        ::raise(SIGINT);
        if (lastRequest != SIGINT) {
            return 3;
        }
        // Stopping puts back what was there: SIGHUP still ignored, SIGINT its default again.
        StopWatchingEndRequests();
        ::raise(SIGHUP);
        if (WatchEndRequests(RecordRequest).size() != 2) {
            return 4;
        }
        StopWatchingEndRequests();
        ::raise(SIGINT);
        return 5;
    });
    EXPECT_EQ(status, 100 + SIGINT);
}

#else

TEST(OsSeams, ConsoleControlEventsReachTheProgram) {
    static std::atomic<int> seen{-1};
    const std::vector<int> watched = WatchEndRequests([](int request) { seen = request; });
    EXPECT_EQ(watched.size(), 5u);
    ASSERT_TRUE(test::PressCtrlCOnOwnConsole()) << "no console to send the event through";
    for (int i = 0; i < 100 && seen == -1; ++i) {
        ::Sleep(20);
    }
    EXPECT_EQ(seen, CTRL_C_EVENT);
    StopWatchingEndRequests();
}

#endif

} // namespace
} // namespace tovrin
