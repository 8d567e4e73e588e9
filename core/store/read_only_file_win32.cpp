// The Windows version of ReadOnlyFile: the same promises through Win32 calls.
#include "core/store/read_only_file.h"

#include "core/store/win32_file.h"

#include <algorithm>
#include <cerrno>

namespace tovrin {
namespace {

FileStamp StampFromHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        return {};
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
        info.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

void CreateEmpty(const std::filesystem::path& path, OpenReport& report) {
    // CREATE_NEW: a file another process made in the meantime is theirs, not ours to empty.
    HANDLE handle = ::CreateFileW(win32::WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        report.stamp = StampFromHandle(handle);
        ::CloseHandle(handle);
        report.createdEmpty = true;
    } else if (const DWORD error = ::GetLastError();
               error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        report.createError = win32::ErrnoFromWin32(error);
    }
}

// From the file's current place, or from `*at`.
std::size_t ReadFrom(int& fd, const std::uint64_t* at, std::uint8_t* buffer, std::size_t size,
                     OpenReport& report) {
    std::size_t done = 0;
    while (fd != -1 && done < size) {
        // ReadFile takes at most 4 GiB - 1 at a time.
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        OVERLAPPED place{};
        if (at != nullptr) {
            const std::uint64_t from = *at + done;
            place.Offset = static_cast<DWORD>(from);
            place.OffsetHigh = static_cast<DWORD>(from >> 32);
        }
        if (!::ReadFile(win32::HandleFromInt(fd), buffer + done, want, &got,
                        at != nullptr ? &place : nullptr)) {
            const DWORD error = ::GetLastError();
            // Reading at or past the end is the end, not a failure.
            if (at != nullptr && error == ERROR_HANDLE_EOF) {
                break;
            }
            report.readFailed = true;
            report.error = win32::ErrnoFromWin32(error);
            ::CloseHandle(win32::HandleFromInt(fd));
            fd = -1;
        } else if (got == 0) {
            break;
        } else {
            done += got;
        }
    }
    return done;
}

} // namespace

FileStamp StampOf(const std::filesystem::path& path) {
    // No access asked for: only what the file is, so even a file open elsewhere can be looked at.
    HANDLE handle = ::CreateFileW(win32::WidePath(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    const FileStamp stamp = StampFromHandle(handle);
    ::CloseHandle(handle);
    return stamp;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ != -1) {
        ::CloseHandle(win32::HandleFromInt(fd_));
    }
}

bool ReadOnlyFile::Open(const std::filesystem::path& path, IfMissing ifMissing,
                        OpenReport& report) {
    int error = 0;
    std::uint64_t size = 0;
    HANDLE handle = win32::OpenRegularFileForReading(path, &error, &size);
    if (handle == INVALID_HANDLE_VALUE) {
        report.error = error;
        report.outcome = error == ENOENT ? OpenOutcome::Missing : OpenOutcome::Failed;
        if (report.outcome == OpenOutcome::Missing && ifMissing == IfMissing::CreateEmpty) {
            CreateEmpty(path, report);
        }
        return false;
    }
    fd_ = win32::IntFromHandle(handle);
    report.outcome = OpenOutcome::Opened;
    report.fileSize = size;
    report.stamp = StampFromHandle(handle);
    return true;
}

std::size_t ReadOnlyFile::Read(std::uint8_t* buffer, std::size_t size, OpenReport& report) {
    return ReadFrom(fd_, nullptr, buffer, size, report);
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                                 OpenReport& report) {
    return ReadFrom(fd_, &offset, buffer, size, report);
}

} // namespace tovrin
