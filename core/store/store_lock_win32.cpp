// The Windows version of the store's lock: the lock file opened for no one else to open, and
// deleted by the system when its handle closes, however the holder ends.
#include "core/store/store_lock.h"

#include "core/store/win32_file.h"

#include <cstdint>

namespace tovrin {

StoreLock StoreLock::Take(const std::filesystem::path& store) {
    StoreLock lock;
    lock.path_ = LockPathFor(store);
    const std::wstring path = win32::WidePath(lock.path_);
    HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        // The whole file, for good measure: a program that opens it anyway still cannot lock it.
        OVERLAPPED at{};
        ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
        lock.handle_ = static_cast<long long>(reinterpret_cast<std::intptr_t>(handle));
        lock.outcome_ = Outcome::Held;
        return lock;
    }
    const DWORD error = ::GetLastError();
    // A holder's file is open for nobody else; one whose holder has just let go is still being
    // deleted, and refuses access until it has gone.
    const bool there = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    lock.outcome_ = error == ERROR_SHARING_VIOLATION || (error == ERROR_ACCESS_DENIED && there)
                        ? Outcome::HeldElsewhere
                        : Outcome::Unavailable;
    return lock;
}

void StoreLock::Release() {
    if (handle_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle_))); // NOLINT
        handle_ = -1;
    }
    outcome_ = Outcome::None;
}

} // namespace tovrin
