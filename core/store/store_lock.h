#pragma once

#include <filesystem>

namespace tovrin {

// Editing the reminders of one Base/ at a time, whichever program file does it: a lock file
// beside the store, held for as long as an editor is open on it. Two editors on one store would
// each write back their own list and lose the other's changes.
//
// The lock is the system's (flock on POSIX, a file opened for no one else on Windows), so it is
// let go when its holder ends however it ends; the file itself is removed by the holder that lets
// go of it, and a new holder takes over one a killed holder left.
class StoreLock {
public:
    enum class Outcome {
        None,          // nothing asked for yet, or let go of
        Held,          // ours until Release()
        HeldElsewhere, // another editor has the store: do not edit it
        Unavailable,   // no lock file could be made (a read-only folder, say): editing goes on
    };

    StoreLock() = default;
    StoreLock(StoreLock&& other) noexcept;
    StoreLock& operator=(StoreLock&& other) noexcept;
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock() { Release(); }

    // Takes the lock of the store at `store`, never waiting for it.
    static StoreLock Take(const std::filesystem::path& store);
    void Release();

    Outcome GetOutcome() const { return outcome_; }
    // The lock file of the store at `store`: beside it, hidden.
    static std::filesystem::path LockPathFor(const std::filesystem::path& store);

private:
    Outcome outcome_ = Outcome::None;
    long long handle_ = -1; // a descriptor (POSIX) or a handle (Windows)
    std::filesystem::path path_;
};

} // namespace tovrin
