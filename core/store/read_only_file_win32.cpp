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
    std::size_t done = 0;
    while (fd_ != -1 && done < size) {
        // ReadFile takes at most 4 GiB - 1 at a time.
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(win32::HandleFromInt(fd_), buffer + done, want, &got, nullptr)) {
            report.readFailed = true;
            report.error = win32::ErrnoFromWin32(::GetLastError());
            ::CloseHandle(win32::HandleFromInt(fd_));
            fd_ = -1;
        } else if (got == 0) {
            break;
        } else {
            done += got;
        }
    }
    return done;
}

} // namespace tovrin
