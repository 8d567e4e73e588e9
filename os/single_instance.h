#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

// One copy of the program per program file and per user.
//
// A program file is known both by what it is (its device and inode, so a hard link to it or a
// start through the dynamic loader is the same program) and by where it is (so a program file
// rebuilt or upgraded while a copy of it runs is still the same program). Each gives a key; a copy
// is refused when another copy holds either of its keys.
//
// Every copy, the first one and any that is refused alike, holds a shared lock on a presence file
// per key for its whole life; the kernel drops it when the process ends, however it ends. A copy
// is the first when it can take those files exclusively, that is when no other copy holds them.
// The test and the taking happen under an exclusive lock on one file of the folder, so two copies
// started at the same moment are put one after the other and never both win. A refused copy
// keeps its shared locks while it shows its warning, so the program counts as running until that
// copy has gone too. The copy that ends last removes the presence files; a start removes those
// that crashed copies left.
//
// The files live in a folder only this user can reach and that no other user can make first: the
// session's runtime folder, or the cache folder in the user's home. The place follows from the
// user id alone, never from the environment, so copies started from the desktop, a terminal, cron
// or `su` all meet there. On Linux the first copy also holds a name in the kernel's abstract
// socket namespace, so that deleting the marker files while it runs does not let a second copy
// in. A name held by a process of another user never counts: anyone may bind any name there.
//
// On Windows the markers are named mutexes in the session's namespace, named after the program
// file's path and its file id: the system drops each when the last copy holding it ends. One that
// another user made does not count.
class SingleInstance {
public:
    enum class State {
        First,          // no other copy runs: go on
        AlreadyRunning, // another copy of this program file runs (or is still showing its warning)
        Unchecked,      // the marker could not be used; the copy runs rather than not at all
    };

    // Joins the copies that hold any of `programKeys` in directory `dir`.
    static SingleInstance Join(const std::filesystem::path& dir,
                               const std::vector<std::string>& programKeys);
    static SingleInstance Join(const std::filesystem::path& dir, std::string_view programKey) {
        return Join(dir, std::vector<std::string>{std::string(programKey)});
    }
    // Joins the copies of this program file in this user's directory.
    static SingleInstance Join();

    SingleInstance(SingleInstance&& other) noexcept;
    SingleInstance& operator=(SingleInstance&& other) noexcept;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // Lets go of the presence locks, removing the markers when no other copy holds them. The
    // process's end lets go too, leaving the files for the next start to remove.
    ~SingleInstance();

    State GetState() const { return state_; }
    bool AnotherRunning() const { return state_ == State::AlreadyRunning; }
    // Why the marker could not be used (empty unless Unchecked).
    const std::string& Problem() const { return problem_; }

private:
    SingleInstance(State state, std::string problem);
    void Release();

    State state_;
    std::string problem_;
    std::filesystem::path dir_;
    // The presence files' descriptors (POSIX) or the mutexes' handles (Windows), one per key.
    std::vector<long long> held_;
    std::vector<std::filesystem::path> heldPaths_;
    std::vector<int> witnesses_;
};

// The real path of the running program file: the file mapped as the program, wherever it was
// started from (through the dynamic loader too).
std::string ProgramFilePath();
// What the running program file is, apart from its name: "device:inode" on POSIX, "volume:file
// index" on Windows; empty when the system does not say.
std::string ProgramFileIdentity();
// The same for any file, following links.
std::string FileIdentity(const std::filesystem::path& file);
// The keys this program file is known by: its identity's and its path's.
std::vector<std::string> ProgramKeys();

// Tests that run the program inside a test process stand for a program file of their own, as a
// copy of the program at another path would: Join() then uses this key instead of the program
// file's. Empty goes back to the program file's.
void SetProgramKeyForTests(std::string key);
// The key set by SetProgramKeyForTests, empty when none is.
const std::string& ProgramKeyForTests();
// A name for files that stands for a program path: 16 hex digits of a hash of the path.
std::string ProgramKey(std::string_view programPath);

// This user's directory for the markers: /run/user/<uid>/tovrin when the session's folder
// /run/user/<uid> is a real folder of this user that only this user may write, else tovrin in the
// cache folder (.cache) of the home that the user database gives. Made with mode 0700 when
// missing; refused (empty path, reason in *problem) when it exists but is not a real directory of
// this user that only this user can enter, or lies in a folder that others may write to.
std::filesystem::path InstanceDir(std::string* problem = nullptr);
// The same choice between a session folder and a fallback given by the caller.
std::filesystem::path InstanceDir(const std::filesystem::path& sessionDir,
                                  const std::filesystem::path& fallback,
                                  std::string* problem = nullptr);

// The abstract socket names the first copy holding `programKeys` binds (Linux), for tests that
// make another user hold them first. Empty where there are none.
std::vector<std::string> WitnessNames(const std::vector<std::string>& programKeys);

} // namespace tovrin
