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
    SingleInstance(State state, int presenceFd, std::string problem);

    State state_;
    int presenceFd_;
    std::string problem_;
};

// The real path of the running program file, through /proc/self/exe.
std::string ProgramFilePath();
// A name for files that stands for a program path: 16 hex digits of a hash of the path.
std::string ProgramKey(std::string_view programPath);

// This user's directory for the markers: $XDG_RUNTIME_DIR/tovrin when the runtime directory is
// usable, else /tmp/tovrin-<uid>. Made with mode 0700 when missing; refused (empty path, reason in
// *problem) when it exists but is not a real directory of this user that only this user can
// enter.
std::filesystem::path InstanceDir(std::string* problem = nullptr);

} // namespace tovrin
