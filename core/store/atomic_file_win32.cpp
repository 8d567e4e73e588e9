// The Windows version of the safe save: the same steps and the same reasons as the POSIX one,
// through Win32 calls. The rename carries MOVEFILE_WRITE_THROUGH, which makes the new folder entry
// durable before it returns, so there is no separate folder sync to fail.
#include "core/store/atomic_file.h"

#include "core/store/win32_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cwchar>
#include <string>

namespace tovrin {
namespace {

namespace fs = std::filesystem;

std::atomic<unsigned> temporaryCounter{0};

fs::path FolderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// A hidden name beside the target, unique per process and per call, so two saves never share one.
fs::path TemporaryName(const fs::path& file) {
    const std::wstring name = L"." + file.filename().wstring() + L"." +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(temporaryCounter.fetch_add(1)) + L".tmp";
    return FolderOf(file) / name;
}

bool ProcessIsGone(unsigned long pid) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) {
        // No such process; a process we may not open is someone's, and alive.
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    }
    const bool gone = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return gone;
}

// A save killed before its rename leaves its temporary file behind. Once the process that made it
// is gone, nobody will finish it: remove it, so Base\ does not fill with dead copies of the store.
void RemoveStaleTemporariesBeside(const fs::path& file) {
    const std::wstring prefix = L"." + file.filename().wstring() + L".";
    const std::wstring suffix = L".tmp";
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(file), ec), end; !ec && it != end; it.increment(ec)) {
        const std::wstring name = it->path().filename().wstring();
        if (name.size() <= prefix.size() + suffix.size() ||
            name.compare(0, prefix.size(), prefix) ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix)) {
            continue;
        }
        wchar_t* rest = nullptr;
        const unsigned long pid = std::wcstoul(name.c_str() + prefix.size(), &rest, 10);
        if (pid == 0 || *rest != L'-' || pid == ::GetCurrentProcessId()) {
            continue;
        }
        if (ProcessIsGone(pid)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

HANDLE CreateTemporary(const fs::path& file, fs::path& temporary, DWORD& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(file);
        HANDLE handle = ::CreateFileW(win32::WidePath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return handle;
        }
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return INVALID_HANDLE_VALUE;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// Fills the temporary file, flushes it to the disk and closes it; 0 or the Windows error.
DWORD FillAndClose(HANDLE handle, std::span<const std::uint8_t> bytes) {
    DWORD error = 0;
    while (error == 0 && !bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), want, &written, nullptr)) {
            error = ::GetLastError();
        } else if (written == 0) {
            error = ERROR_WRITE_FAULT; // no progress and no reason: stop rather than spin
        } else {
            bytes = bytes.subspan(written);
        }
    }
    if (error == 0 && !::FlushFileBuffers(handle)) {
        error = ::GetLastError();
    }
    if (!::CloseHandle(handle) && error == 0) {
        error = ::GetLastError();
    }
    return error;
}

} // namespace

void RemoveStaleTemporaries(const fs::path& file) {
    RemoveStaleTemporariesBeside(file);
}

SaveResult WriteFileAtomically(const fs::path& file, std::span<const std::uint8_t> bytes) {
    const std::string name = win32::Utf8Path(file);
    // A store the user made read-only is theirs to keep: a failed save, told as such (as on
    // POSIX), rather than a rename that quietly replaces it (which some file systems allow).
    const std::wstring target = win32::WidePath(file);
    if (const DWORD attributes = ::GetFileAttributesW(target.c_str());
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return SaveResult::Failure(name, SaveStep::Target, EACCES);
    }
    fs::path temporary;
    DWORD error = 0;
    HANDLE handle = CreateTemporary(file, temporary, error);
    if (handle == INVALID_HANDLE_VALUE) {
        return SaveResult::Failure(name, SaveStep::CreateTemporary, win32::ErrnoFromWin32(error));
    }
    const std::wstring temporaryWide = win32::WidePath(temporary);
    if (error = FillAndClose(handle, bytes); error != 0) {
        ::DeleteFileW(temporaryWide.c_str());
        return SaveResult::Failure(name, SaveStep::Write, win32::ErrnoFromWin32(error));
    }
    // Rename last, so a crash at any earlier point leaves the old file whole. A folder in the
    // file's place refuses the replacement: the save fails and the old file stays.
    if (!::MoveFileExW(temporaryWide.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
        ::DeleteFileW(temporaryWide.c_str());
        return SaveResult::Failure(name, SaveStep::Rename, win32::ErrnoFromWin32(error));
    }
    RemoveStaleTemporariesBeside(file);
    return SaveResult::Success(name);
}

} // namespace tovrin
