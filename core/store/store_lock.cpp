#include "core/store/store_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovrin {
namespace {

// The descriptor still names the file at `path`: its last holder did not remove it meanwhile.
bool StillAt(int fd, const std::filesystem::path& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

StoreLock StoreLock::Take(const std::filesystem::path& store) {
    StoreLock lock;
    lock.path_ = LockPathFor(store);
    // A holder that lets go removes the file while it still holds it; a newcomer that opened it
    // just before then holds a file nobody else will ever see, and opens the new one instead.
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = -1;
        do {
            fd = ::open(lock.path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            lock.outcome_ = Outcome::Unavailable;
            return lock;
        }
        int rc = 0;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int error = errno;
            ::close(fd);
            lock.outcome_ = error == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unavailable;
            return lock;
        }
        if (StillAt(fd, lock.path_)) {
            lock.handle_ = fd;
            lock.outcome_ = Outcome::Held;
            return lock;
        }
        ::close(fd);
    }
    lock.outcome_ = Outcome::Unavailable;
    return lock;
}

void StoreLock::Release() {
    if (handle_ >= 0) {
        // Removed while still held, so nobody takes a file that is about to go.
        ::unlink(path_.c_str());
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
    outcome_ = Outcome::None;
}

} // namespace tovrin
