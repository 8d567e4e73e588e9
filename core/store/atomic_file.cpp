#include "core/store/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tovrin {
namespace {

namespace fs = std::filesystem;

std::atomic<unsigned> temporaryCounter{0};

fs::path FolderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// A hidden name beside the target, unique per process and per call, so two saves never share one.
std::string TemporaryName(const fs::path& file) {
    const std::string name = "." + file.filename().string() + "." + std::to_string(::getpid()) +
                             "-" + std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
    return (FolderOf(file) / name).string();
}

// A save killed before its rename leaves its temporary file behind. Once the process that made it
// is gone, nobody will finish it: remove it, so Base/ does not fill with dead copies of the store.
// A temporary of a live process is another save under way and is left alone.
void RemoveStaleTemporariesBeside(const fs::path& file) {
    const std::string prefix = "." + file.filename().string() + ".";
    const std::string suffix = ".tmp";
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(file), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + suffix.size() ||
            name.compare(0, prefix.size(), prefix) ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix)) {
            continue;
        }
        char* rest = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &rest, 10);
        if (pid <= 0 || *rest != '-' || pid == ::getpid()) {
            continue;
        }
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

int CreateTemporary(const fs::path& file, const FileSysCalls& sys, std::string& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(file);
        const int fd = sys.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// The file a save really replaces. Users link the store and the settings into synced or backed-up
// folders: replacing the link itself would leave the linked copy stale, so a save follows the
// links, a chain of them too, to the file they lead to. A link to nowhere leads to the file the
// save creates. Returns 0 or the errno that stops the save.
int FollowLinks(const fs::path& file, fs::path& target) {
    constexpr int kMostLinks = 40; // what the system itself follows before saying ELOOP
    fs::path current = file;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec))) {
            target = current;
            return 0;
        }
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) {
            return ec.value();
        }
        // Not normalised: ".." after a folder that is itself a link means that link's parent.
        current = next.is_absolute() ? next : FolderOf(current) / next;
    }
    return ELOOP;
}

// A file the user made read-only stays as it is: renaming over it would take no account of the
// mode. The system lets root write anything, so the mode's write bits are read here as well.
int RefuseReadOnly(const fs::path& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return 0; // the rename says what is wrong with something that is not a file
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return EACCES;
    }
    return ::access(target.c_str(), W_OK) == 0 ? 0 : errno;
}

// The new file keeps the old one's permissions, so a save never widens or narrows who can read it.
void KeepPermissions(const fs::path& file, int fd) {
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Best effort: failing here loses no data, and the default mode is still usable.
        (void)::fchmod(fd, old.st_mode & 07777);
    }
}

int WriteAll(int fd, std::span<const std::uint8_t> bytes, const FileSysCalls& sys) {
    while (!bytes.empty()) {
        const ssize_t n = sys.write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO; // no progress and no reason: stop rather than spin
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return 0;
}

int SyncRetrying(int fd, const FileSysCalls& sys) {
    int rc = 0;
    do {
        rc = sys.sync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

// Fills the temporary file and closes it; returns 0 or the errno of the step that failed.
int FillAndClose(int fd, std::span<const std::uint8_t> bytes, const FileSysCalls& sys) {
    int error = WriteAll(fd, bytes, sys);
    if (error == 0) {
        error = SyncRetrying(fd, sys);
    }
    // Linux closes the descriptor even when close reports EINTR, and the data is synced by now.
    if (sys.close(fd) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    return error;
}

// Makes the rename itself durable. Filesystems that cannot sync a folder say EINVAL; there is
// nothing more to do on those.
int SyncFolder(const fs::path& file, const FileSysCalls& sys) {
    const int fd = sys.open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    int error = SyncRetrying(fd, sys);
    sys.close(fd);
    return error == EINVAL ? 0 : error;
}

} // namespace

const FileSysCalls& FileSysCalls::Posix() {
    static const FileSysCalls calls{
        [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
        [](int fd) { return ::fsync(fd); },
        [](int fd) { return ::close(fd); },
        [](const char* from, const char* to) { return ::rename(from, to); },
        [](const char* path) { return ::unlink(path); },
    };
    return calls;
}

void RemoveStaleTemporaries(const fs::path& file) {
    fs::path target;
    if (FollowLinks(file, target) == 0) {
        RemoveStaleTemporariesBeside(target);
    }
}

SaveResult WriteFileAtomically(const fs::path& file, std::span<const std::uint8_t> bytes) {
    return WriteFileAtomically(file, bytes, FileSysCalls::Posix());
}

SaveResult WriteFileAtomically(const fs::path& file, std::span<const std::uint8_t> bytes,
                               const FileSysCalls& sys) {
    const std::string name = file.string();
    fs::path target;
    if (const int error = FollowLinks(file, target); error != 0) {
        return SaveResult::Failure(name, SaveStep::Target, error);
    }
    const std::string leadsTo = target == file ? std::string() : target.string();
    auto failure = [&](SaveStep step, int error) {
        SaveResult result = SaveResult::Failure(name, step, error);
        result.target = leadsTo;
        return result;
    };
    if (const int error = RefuseReadOnly(target); error != 0) {
        return failure(SaveStep::Target, error);
    }
    std::string temporary;
    const int fd = CreateTemporary(target, sys, temporary);
    if (fd < 0) {
        return failure(SaveStep::CreateTemporary, errno);
    }
    KeepPermissions(target, fd);
    if (const int error = FillAndClose(fd, bytes, sys); error != 0) {
        sys.unlink(temporary.c_str());
        return failure(SaveStep::Write, error);
    }
    // Rename last, so a crash at any earlier point leaves the old file whole.
    if (sys.rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        sys.unlink(temporary.c_str());
        return failure(SaveStep::Rename, error);
    }
    if (const int error = SyncFolder(target, sys); error != 0) {
        return failure(SaveStep::SyncDirectory, error);
    }
    RemoveStaleTemporariesBeside(target);
    SaveResult done = SaveResult::Success(name);
    done.target = leadsTo;
    return done;
}

} // namespace tovrin
