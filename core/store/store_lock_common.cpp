#include "core/store/store_lock.h"

#include <utility>

namespace tovrin {

StoreLock::StoreLock(StoreLock&& other) noexcept
    : outcome_(std::exchange(other.outcome_, Outcome::None)),
      handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)) {}

StoreLock& StoreLock::operator=(StoreLock&& other) noexcept {
    if (this != &other) {
        Release();
        outcome_ = std::exchange(other.outcome_, Outcome::None);
        handle_ = std::exchange(other.handle_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

std::filesystem::path StoreLock::LockPathFor(const std::filesystem::path& store) {
    std::filesystem::path lock = store;
    lock.replace_filename("." + store.filename().string() + ".lock");
    return lock;
}

} // namespace tovrin
