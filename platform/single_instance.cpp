#include "platform/single_instance.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// The session's runtime directory, when it is an absolute path to a directory of this user.
std::filesystem::path RuntimeDir() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    struct stat st {};
    if (::stat(value, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        return {};
    }
    return value;
}

} // namespace

SingleInstance::SingleInstance(State state, int presenceFd, std::string problem)
    : state_(state), presenceFd_(presenceFd), problem_(std::move(problem)) {}

SingleInstance::SingleInstance(SingleInstance&& other) noexcept
    : state_(other.state_), presenceFd_(std::exchange(other.presenceFd_, -1)),
      problem_(std::move(other.problem_)) {}

SingleInstance& SingleInstance::operator=(SingleInstance&& other) noexcept {
    if (this != &other) {
        if (presenceFd_ >= 0) {
            ::close(presenceFd_);
        }
        state_ = other.state_;
        presenceFd_ = std::exchange(other.presenceFd_, -1);
        problem_ = std::move(other.problem_);
    }
    return *this;
}

SingleInstance::~SingleInstance() {
    if (presenceFd_ >= 0) {
        ::close(presenceFd_);
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
    // Other holders only ever hold it shared, so this never waits.
    Lock(presenceFd, LOCK_SH);
    ::close(mutexFd);
    return {state, presenceFd, {}};
}

SingleInstance SingleInstance::Join() {
    std::string problem;
    const std::filesystem::path dir = InstanceDir(&problem);
    if (dir.empty()) {
        return {State::Unchecked, -1, problem};
    }
    return Join(dir, ProgramKey(ProgramFilePath()));
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

std::string ProgramKey(std::string_view programPath) {
    // FNV-1a, 64 bits: short, stable across runs and builds, and any byte of the path counts.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : programPath) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::filesystem::path InstanceDir(std::string* problem) {
    const std::filesystem::path runtime = RuntimeDir();
    std::filesystem::path dir;
    if (!runtime.empty()) {
        dir = runtime / "tovrin";
    } else {
        dir = "/tmp/tovrin-" + std::to_string(::geteuid());
    }
    if (!MakePrivateDir(dir, problem)) {
        return {};
    }
    return dir;
}

} // namespace tovrin
