#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tovrin {

// One copy of the program per program file and per user.
//
// Every copy, the first one and any that is refused alike, holds a shared lock on a presence
// file for its whole life; the kernel drops it when the process ends, however it ends. A copy is
// the first when it can take that file exclusively, that is when no other copy of the same
// program file holds it. The test and the taking happen under an exclusive lock on a second file,
// so two copies started at the same moment are put one after the other and never both win. A
// refused copy keeps its shared lock while it shows its warning, so the program counts as
// running until that copy has gone too.
//
// The files live in a directory only this user can reach, named after the program file's real
// path: a copy of the binary elsewhere runs on its own, and another user's copy never stops ours.
// The place follows from the user id alone, never from the environment, so copies started from
// the desktop, a terminal, cron or `su` all meet there. On Linux the first copy also holds a
// name in the kernel's abstract socket namespace, so that deleting the marker files while it runs
// does not let a second copy in.
//
// On Windows the marker is a named mutex in the session's namespace, named after the program
// file's path: the system drops it when the last copy holding it ends.
class SingleInstance {
public:
    enum class State {
        First,          // no other copy runs: go on
        AlreadyRunning, // another copy of this program file runs (or is still showing its warning)
        Unchecked,      // the marker could not be used; the copy runs rather than not at all
    };

    // Joins the copies of the program file `programKey` in directory `dir`.
    static SingleInstance Join(const std::filesystem::path& dir, std::string_view programKey);
    // Joins the copies of this program file in this user's directory.
    static SingleInstance Join();

    SingleInstance(SingleInstance&& other) noexcept;
    SingleInstance& operator=(SingleInstance&& other) noexcept;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // Lets go of the presence lock. The process's end does the same.
    ~SingleInstance();

    State GetState() const { return state_; }
    bool AnotherRunning() const { return state_ == State::AlreadyRunning; }
    // Why the marker could not be used (empty unless Unchecked).
    const std::string& Problem() const { return problem_; }

private:
    SingleInstance(State state, int presenceFd, std::string problem, int witnessFd = -1);
    void Release();

    State state_;
    int presenceFd_; // on Windows, the named mutex's handle
    int witnessFd_;
    std::string problem_;
};

// The real path of the running program file, through /proc/self/exe.
std::string ProgramFilePath();

// Tests that run the program inside a test process stand for a program file of their own, as a
// copy of the program at another path would: Join() then uses this key instead of the program
// file's. Empty goes back to the program file's.
void SetProgramKeyForTests(std::string key);
// The key set by SetProgramKeyForTests, empty when none is.
const std::string& ProgramKeyForTests();
// A name for files that stands for a program path: 16 hex digits of a hash of the path.
std::string ProgramKey(std::string_view programPath);

// This user's directory for the markers: /run/user/<uid>/tovrin when the session's folder
// /run/user/<uid> is a real folder of this user that only this user may write, else
// /tmp/tovrin-<uid>. Made with mode 0700 when missing; refused (empty path, reason in *problem)
// when it exists but is not a real directory of this user that only this user can enter.
std::filesystem::path InstanceDir(std::string* problem = nullptr);
// The same choice between a session folder and a fallback given by the caller.
std::filesystem::path InstanceDir(const std::filesystem::path& sessionDir,
                                  const std::filesystem::path& fallback,
                                  std::string* problem = nullptr);

} // namespace tovrin
