#include "platform/single_instance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#ifdef __linux__
#include <sys/socket.h>
#include <sys/un.h>
#endif

namespace tovrin {
namespace {

std::string Describe(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + path.string() + ": " + std::strerror(error);
}

int OpenMarkerFile(const std::filesystem::path& path) {
    int fd = -1;
    do {
        // No following of links, and closed on exec: a program we open (the help, a web page)
        // must not inherit the lock and keep "running" after we have gone.
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
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

// A directory of ours that nobody else can enter or plant files in.
bool IsPrivateDir(const std::filesystem::path& dir, std::string* problem) {
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

bool MakePrivateDir(const std::filesystem::path& dir, std::string* problem) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        if (problem != nullptr) {
            *problem = Describe("cannot make", dir, errno);
        }
        return false;
    }
    return IsPrivateDir(dir, problem);
}

#ifdef __linux__
// A second witness of the first copy, beside the presence file: a socket bound to a name in
// Linux's abstract namespace, which no file deleted, no folder tidied away and no environment
// changes. Deleting the presence file while the first copy runs would otherwise let a second one
// in, and so would a session folder that appeared after the first copy chose /tmp. The name
// carries the user id, so another user's copy never meets it. Returns the bound socket, -1 when a
// copy of ours holds the name already, or -2 when the name could not be used for another reason
// (then the presence file alone decides).
int BindWitness(const std::string& key) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -2;
    }
    std::string name = "tovrin/" + std::to_string(::geteuid()) + "/" + key;
    sockaddr_un address{};
    if (name.size() >= sizeof address.sun_path) {
        name = "tovrin/" + std::to_string(::geteuid()) + "/" + ProgramKey(key);
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size()); // sun_path[0] = 0: abstract
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        return fd;
    }
    const int error = errno;
    ::close(fd);
    return error == EADDRINUSE ? -1 : -2;
}
#endif

} // namespace

void SingleInstance::Release() {
    for (int* fd : {&presenceFd_, &witnessFd_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

SingleInstance SingleInstance::Join(const std::filesystem::path& dir, std::string_view programKey) {
    const std::string key(programKey);
    const std::filesystem::path mutexPath = dir / (key + ".lock");
    const std::filesystem::path presencePath = dir / (key + ".run");

    const int mutexFd = OpenMarkerFile(mutexPath);
    if (mutexFd < 0) {
        return {State::Unchecked, -1, Describe("cannot open", mutexPath, errno)};
    }
    if (!Lock(mutexFd, LOCK_EX)) {
        const int error = errno;
        ::close(mutexFd);
        return {State::Unchecked, -1, Describe("cannot lock", mutexPath, error)};
    }
    const int presenceFd = OpenMarkerFile(presencePath);
    if (presenceFd < 0) {
        const int error = errno;
        ::close(mutexFd);
        return {State::Unchecked, -1, Describe("cannot open", presencePath, error)};
    }
    // Nobody else can test or take the presence lock while we hold the mutex, so the exclusive
    // lock can be turned into a shared one without a window in which a newcomer sees it free.
    State state = State::AlreadyRunning;
    if (Lock(presenceFd, LOCK_EX | LOCK_NB)) {
        state = State::First;
    } else if (errno != EWOULDBLOCK) {
        const int error = errno;
        ::close(presenceFd);
        ::close(mutexFd);
        return {State::Unchecked, -1, Describe("cannot lock", presencePath, error)};
    }
    int witnessFd = -1;
#ifdef __linux__
    // Only a copy that found the presence file free can hold the witness; one whose file was
    // deleted under it still holds the witness, and keeps the newcomer out.
    if (state == State::First) {
        witnessFd = BindWitness(key);
        if (witnessFd == -1) {
            state = State::AlreadyRunning;
        }
        witnessFd = std::max(witnessFd, -1);
    }
#endif
    // Other holders only ever hold it shared, so this never waits.
    Lock(presenceFd, LOCK_SH);
    ::close(mutexFd);
    return {state, presenceFd, {}, witnessFd};
}

SingleInstance SingleInstance::Join() {
    std::string problem;
    const std::filesystem::path dir = InstanceDir(&problem);
    if (dir.empty()) {
        return {State::Unchecked, -1, problem};
    }
    const std::string& testKey = ProgramKeyForTests();
    return Join(dir, testKey.empty() ? ProgramKey(ProgramFilePath()) : testKey);
}

std::string ProgramFilePath() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    std::string path(buffer, static_cast<std::size_t>(n));
    // A program file replaced while it runs (a rebuild) still names the same program.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) {
        path.resize(path.size() - kDeleted.size());
    }
    return path;
}

std::filesystem::path InstanceDir(std::string* problem) {
    const std::string uid = std::to_string(::geteuid());
    return InstanceDir("/run/user/" + uid, "/tmp/tovrin-" + uid, problem);
}

std::filesystem::path InstanceDir(const std::filesystem::path& sessionDir,
                                  const std::filesystem::path& fallback, std::string* problem) {
    // The session's folder (systemd makes it for every logged-in user) when it is really ours,
    // whatever the environment says: a copy started from cron or `su` must find the same marker
    // as the one started from the desktop.
    struct stat st {};
    std::filesystem::path dir = fallback;
    if (::lstat(sessionDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 022) == 0) {
        dir = sessionDir / "tovrin";
    }
    if (!MakePrivateDir(dir, problem)) {
        return {};
    }
    return dir;
}

} // namespace tovrin
