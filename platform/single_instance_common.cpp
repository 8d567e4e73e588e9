#include "platform/single_instance.h"

#include <cstdint>
#include <cstdio>
#include <utility>

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

SingleInstance::SingleInstance(State state, int presenceFd, std::string problem, int witnessFd)
    : state_(state), presenceFd_(presenceFd), witnessFd_(witnessFd), problem_(std::move(problem)) {}

SingleInstance::SingleInstance(SingleInstance&& other) noexcept
    : state_(other.state_), presenceFd_(std::exchange(other.presenceFd_, -1)),
      witnessFd_(std::exchange(other.witnessFd_, -1)), problem_(std::move(other.problem_)) {}

SingleInstance& SingleInstance::operator=(SingleInstance&& other) noexcept {
    if (this != &other) {
        Release();
        state_ = other.state_;
        presenceFd_ = std::exchange(other.presenceFd_, -1);
        witnessFd_ = std::exchange(other.witnessFd_, -1);
        problem_ = std::move(other.problem_);
    }
    return *this;
}

SingleInstance::~SingleInstance() {
    Release();
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
