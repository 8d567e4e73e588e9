#include "os/single_instance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

#ifdef __linux__
#include <sys/socket.h>
#include <sys/un.h>
#endif

namespace tovrin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMutexName = "instance.lock";
constexpr const char* kPresenceSuffix = ".run";

std::string Describe(const std::string& what, const fs::path& path, int error) {
    return what + " " + path.string() + ": " + std::strerror(error);
}

int OpenMarkerFile(const fs::path& path, int flags = O_RDWR | O_CREAT) {
    int fd = -1;
    do {
        // No following of links, and closed on exec: a program we open (the help, a web page)
        // must not inherit the lock and keep "running" after we have gone.
        fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool Lock(int fd, int operation) {
    int rc = 0;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// The descriptor still names the file at `path`: nobody removed or replaced it meanwhile.
bool StillAt(int fd, const fs::path& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// A folder that no other user can write into: theirs to fill is ours to lose. Root's own folders
// count as safe, as root could take anything anyway, and so does the user's own group (a home
// shared with a group is shared with it whole).
bool OnlyOwnerWrites(const struct stat& st) {
    return (st.st_uid == ::geteuid() || st.st_uid == 0) && (st.st_mode & S_IWOTH) == 0 &&
           ((st.st_mode & S_IWGRP) == 0 || st.st_gid == ::getegid());
}

bool SafeParent(const fs::path& dir, std::string* problem) {
    const fs::path parent = dir.parent_path().empty() ? fs::path(".") : dir.parent_path();
    struct stat st {};
    if (::stat(parent.c_str(), &st) != 0) {
        if (problem != nullptr) {
            *problem = Describe("cannot look at", parent, errno);
        }
        return false;
    }
    const bool ok = S_ISDIR(st.st_mode) && OnlyOwnerWrites(st);
    if (!ok && problem != nullptr) {
        *problem = parent.string() + " is a folder other users may write to";
    }
    return ok;
}

// A directory of ours that nobody else can enter or plant files in.
bool IsPrivateDir(const fs::path& dir, std::string* problem) {
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) {
        if (problem != nullptr) {
            *problem = Describe("cannot look at", dir, errno);
        }
        return false;
    }
    const bool ok = S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
    if (!ok && problem != nullptr) {
        *problem = dir.string() + " is not a directory that only this user can enter";
    }
    return ok;
}

bool MakePrivateDir(const fs::path& dir, std::string* problem) {
    // Only where no other user could have made it first, or could swap it for another later.
    if (!SafeParent(dir, problem)) {
        return false;
    }
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        if (problem != nullptr) {
            *problem = Describe("cannot make", dir, errno);
        }
        return false;
    }
    return IsPrivateDir(dir, problem);
}

// The home the user database gives this user: the environment's HOME may belong to whoever
// started us (sudo keeps it, for one).
fs::path HomeOfUser() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(static_cast<std::size_t>(size > 0 ? size : 16384), '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

// The user's cache folder, made private when it is missing.
fs::path UserCacheDir(std::string* problem) {
    const fs::path home = HomeOfUser();
    if (home.empty()) {
        if (problem != nullptr) {
            *problem = "this user has neither a session folder nor a home";
        }
        return {};
    }
    const fs::path cache = home / ".cache";
    if (::mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST) {
        if (problem != nullptr) {
            *problem = Describe("cannot make", cache, errno);
        }
        return {};
    }
    // A link to elsewhere is fine, as long as what it leads to is ours alone to write.
    struct stat st {};
    if (::stat(cache.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || !OnlyOwnerWrites(st) ||
        !SafeParent(cache, problem)) {
        if (problem != nullptr && problem->empty()) {
            *problem = cache.string() + " is not a folder that only this user may write to";
        }
        return {};
    }
    return cache;
}

// The cleaning a start does: a presence file nobody holds is left by a copy that ended without
// removing it (killed, say). Only called with the folder's mutex held, so nobody is joining.
void RemoveUnheldPresenceFiles(const fs::path& dir) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        if (path.extension() != kPresenceSuffix) {
            continue;
        }
        const int fd = OpenMarkerFile(path, O_RDONLY | O_NONBLOCK);
        if (fd < 0) {
            continue;
        }
        if (Lock(fd, LOCK_EX | LOCK_NB) && StillAt(fd, path)) {
            ::unlink(path.c_str());
        }
        ::close(fd);
    }
}

// The folder's mutex: held while a copy tests and takes the presence files, and while one that
// ends removes them. Returns the locked descriptor, or -1 with errno.
int LockMutex(const fs::path& dir) {
    const int fd = OpenMarkerFile(dir / kMutexName);
    if (fd < 0) {
        return -1;
    }
    if (!Lock(fd, LOCK_EX)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// ---- The program file ----------------------------------------------------------------------

struct MappedFile {
    std::string path;
    std::string identity;
};

// The file the program's own code is mapped from, as the kernel records it: right however the
// program was started (through the dynamic loader, or by a hard link), and still there when the
// file has been deleted or replaced since.
MappedFile ProgramMapping() {
    MappedFile mapped;
#ifdef __linux__
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return mapped;
    }
    std::string maps;
    char buffer[16384];
    constexpr std::size_t kMostMaps = std::size_t{64} << 20;
    for (ssize_t n = 0; (n = ::read(fd, buffer, sizeof buffer)) > 0 && maps.size() < kMostMaps;) {
        maps.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    const auto here = reinterpret_cast<std::uintptr_t>(&ProgramMapping);
    for (std::size_t at = 0; at < maps.size();) {
        std::size_t end = maps.find('\n', at);
        end = end == std::string::npos ? maps.size() : end;
        const std::string line = maps.substr(at, end - at);
        at = end + 1;
        unsigned long long low = 0;
        unsigned long long high = 0;
        unsigned major = 0;
        unsigned minor = 0;
        unsigned long long inode = 0;
        int pathAt = 0;
        if (std::sscanf(line.c_str(), "%llx-%llx %*s %*s %x:%x %llu %n", &low, &high, &major,
                        &minor, &inode, &pathAt) != 5 ||
            here < low || here >= high || inode == 0) {
            continue;
        }
        mapped.path = line.substr(static_cast<std::size_t>(pathAt));
        mapped.identity = std::to_string(::makedev(major, minor)) + ":" + std::to_string(inode);
        break;
    }
    // A program file replaced while it runs (a rebuild) still names the same program.
    constexpr std::string_view kDeleted = " (deleted)";
    if (mapped.path.size() > kDeleted.size() && mapped.path.ends_with(kDeleted)) {
        mapped.path.resize(mapped.path.size() - kDeleted.size());
    }
#endif
    return mapped;
}

// ---- The witness (Linux) -------------------------------------------------------------------

#ifdef __linux__
sockaddr_un AbstractAddress(const std::string& name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t size = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), size); // sun_path[0] = 0: abstract
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
    return address;
}

// Whether the process listening on the name is one of this user's. A name anyone can bind proves
// nothing by itself; the credentials the kernel records for the listener do.
bool HeldByThisUser(const std::string& name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    socklen_t length = 0;
    const sockaddr_un address = AbstractAddress(name, length);
    bool ours = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        ucred peer{};
        socklen_t size = sizeof peer;
        ours =
            ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
    }
    ::close(fd);
    return ours;
}

// A second witness of the first copy, beside the presence file: a socket bound to a name in
// Linux's abstract namespace, which no file deleted and no folder tidied away removes. Returns
// the listening socket, -1 when a copy of this user holds the name already, or -2 when the name
// cannot be used (another user's process holds it, say): then the presence file alone decides.
int BindWitness(const std::string& name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -2;
    }
    socklen_t length = 0;
    const sockaddr_un address = AbstractAddress(name, length);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::listen(fd, SOMAXCONN) == 0) {
        return fd;
    }
    const int error = errno;
    ::close(fd);
    if (error == EADDRINUSE && HeldByThisUser(name)) {
        return -1;
    }
    return -2;
}
#endif

} // namespace

void SingleInstance::Release() {
    for (const int fd : witnesses_) {
        ::close(fd);
    }
    witnesses_.clear();
    if (held_.empty()) {
        return;
    }
    // The last copy to go takes the markers with it. Under the mutex, so that no copy is between
    // opening a presence file and locking it.
    const int mutex = dir_.empty() ? -1 : LockMutex(dir_);
    for (std::size_t i = 0; i < held_.size(); ++i) {
        const int fd = static_cast<int>(held_[i]);
        if (mutex >= 0 && i < heldPaths_.size() && Lock(fd, LOCK_EX | LOCK_NB) &&
            StillAt(fd, heldPaths_[i])) {
            ::unlink(heldPaths_[i].c_str());
        }
        ::close(fd);
    }
    held_.clear();
    heldPaths_.clear();
    if (mutex >= 0) {
        ::close(mutex);
    }
}

SingleInstance SingleInstance::Join(const fs::path& dir, const std::vector<std::string>& keys) {
    const int mutex = LockMutex(dir);
    if (mutex < 0) {
        return {State::Unchecked, Describe("cannot lock", dir / kMutexName, errno)};
    }
    RemoveUnheldPresenceFiles(dir);
    SingleInstance joined(State::First, {});
    joined.dir_ = dir;
    for (const std::string& key : keys) {
        const fs::path path = dir / (key + kPresenceSuffix);
        const int fd = OpenMarkerFile(path);
        if (fd < 0) {
            joined.state_ = State::Unchecked;
            joined.problem_ = Describe("cannot open", path, errno);
            break;
        }
        joined.held_.push_back(fd);
        joined.heldPaths_.push_back(path);
        // Nobody else can test or take the presence lock while we hold the mutex, so the
        // exclusive lock can be turned into a shared one without a window in which a newcomer
        // sees it free.
        if (Lock(fd, LOCK_EX | LOCK_NB)) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            joined.state_ = State::Unchecked;
            joined.problem_ = Describe("cannot lock", path, errno);
            break;
        }
        if (joined.state_ == State::First) {
            joined.state_ = State::AlreadyRunning;
        }
    }
#ifdef __linux__
    // Only a copy that found the presence files free can hold the witness; one whose files were
    // deleted under it still holds the witness, and keeps the newcomer out.
    if (joined.state_ == State::First) {
        for (const std::string& name : WitnessNames(keys)) {
            const int witness = BindWitness(name);
            if (witness == -1) {
                joined.state_ = State::AlreadyRunning;
            } else if (witness >= 0) {
                joined.witnesses_.push_back(witness);
            }
        }
    }
#endif
    if (joined.state_ == State::Unchecked) {
        // Nothing held means nothing to remove later: the markers of the copies that are running
        // stay theirs.
        for (const long long fd : joined.held_) {
            ::close(static_cast<int>(fd));
        }
        joined.held_.clear();
        joined.heldPaths_.clear();
    }
    // Other holders only ever hold them shared, so this never waits.
    for (const long long fd : joined.held_) {
        Lock(static_cast<int>(fd), LOCK_SH);
    }
    ::close(mutex);
    return joined;
}

SingleInstance SingleInstance::Join() {
    std::string problem;
    const fs::path dir = InstanceDir(&problem);
    if (dir.empty()) {
        return {State::Unchecked, problem};
    }
    const std::string& testKey = ProgramKeyForTests();
    return Join(dir, testKey.empty() ? ProgramKeys() : std::vector<std::string>{testKey});
}

std::vector<std::string> WitnessNames(const std::vector<std::string>& keys) {
    std::vector<std::string> names;
#ifdef __linux__
    // The user id is in the name, so another user's copy never meets ours, but hashed with the
    // program's key: the list of bound names that everyone can read does not spell out who runs
    // Tovrin.
    for (const std::string& key : keys) {
        names.push_back("tovrin-" + ProgramKey(std::to_string(::geteuid()) + "/" + key));
    }
#else
    (void)keys;
#endif
    return names;
}

std::string ProgramFilePath() {
    std::string path = ProgramMapping().path;
    if (!path.empty()) {
        return path;
    }
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    path.assign(buffer, static_cast<std::size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) {
        path.resize(path.size() - kDeleted.size());
    }
    return path;
}

std::string ProgramFileIdentity() {
    std::string identity = ProgramMapping().identity;
    return identity.empty() ? FileIdentity(ProgramFilePath()) : identity;
}

std::string FileIdentity(const fs::path& file) {
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0) {
        return {};
    }
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

namespace {

// The session's folder (systemd makes it for every logged-in user) when it is really ours,
// whatever the environment says: a copy started from cron or `su` must find the same marker as
// the one started from the desktop.
bool IsSessionDir(const fs::path& sessionDir) {
    struct stat st {};
    return ::lstat(sessionDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 022) == 0;
}

} // namespace

fs::path InstanceDir(std::string* problem) {
    const fs::path session = "/run/user/" + std::to_string(::geteuid());
    if (IsSessionDir(session)) {
        return InstanceDir(session, {}, problem);
    }
    // Not /tmp: another user could make the folder there first.
    const fs::path cache = UserCacheDir(problem);
    return cache.empty() ? fs::path() : InstanceDir(session, cache / "tovrin", problem);
}

fs::path InstanceDir(const fs::path& sessionDir, const fs::path& fallback, std::string* problem) {
    const fs::path dir = IsSessionDir(sessionDir) ? sessionDir / "tovrin" : fallback;
    if (dir.empty() || !MakePrivateDir(dir, problem)) {
        return {};
    }
    return dir;
}

} // namespace tovrin
