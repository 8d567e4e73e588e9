#include "os/single_instance.h"

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

// What the marker's holder is, apart from how each system keeps the marker.
namespace tovrin {
namespace {

std::string& TestProgramKey() {
    static std::string key;
    return key;
}

} // namespace

void SetProgramKeyForTests(std::string key) {
    TestProgramKey() = std::move(key);
}

const std::string& ProgramKeyForTests() {
    return TestProgramKey();
}

SingleInstance::SingleInstance(State state, std::string problem)
    : state_(state), problem_(std::move(problem)) {}

SingleInstance::SingleInstance(SingleInstance&& other) noexcept
    : state_(other.state_), problem_(std::move(other.problem_)), dir_(std::move(other.dir_)),
      held_(std::exchange(other.held_, {})), heldPaths_(std::exchange(other.heldPaths_, {})),
      witnesses_(std::exchange(other.witnesses_, {})) {}

SingleInstance& SingleInstance::operator=(SingleInstance&& other) noexcept {
    if (this != &other) {
        Release();
        state_ = other.state_;
        problem_ = std::move(other.problem_);
        dir_ = std::move(other.dir_);
        held_ = std::exchange(other.held_, {});
        heldPaths_ = std::exchange(other.heldPaths_, {});
        witnesses_ = std::exchange(other.witnesses_, {});
    }
    return *this;
}

SingleInstance::~SingleInstance() {
    Release();
}

std::vector<std::string> ProgramKeys() {
    std::vector<std::string> keys;
    const std::string identity = ProgramFileIdentity();
    if (!identity.empty()) {
        keys.push_back(ProgramKey("file " + identity));
    }
    const std::string path = ProgramFilePath();
    if (!path.empty() || keys.empty()) {
        keys.push_back(ProgramKey(path));
    }
    return keys;
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

} // namespace tovrin
