#pragma once

// Helpers shared by the Windows versions of the core's file access. Windows only.

#include <cstdint>
#include <filesystem>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tovrin::win32 {

// The errno value that says the same as a Windows error, so a failed open or save is reported in
// the same words on every system.
int ErrnoFromWin32(DWORD error);

// The path as Windows' wide-character calls want it: backslashes, so "Base/ztovrin.dat" and
// "Base\\ztovrin.dat" name the same file, and any folder name the user's language allows.
std::wstring WidePath(const std::filesystem::path& path);

// The path in UTF-8, for messages: path::string() would throw on a character the ANSI code
// page lacks.
std::string Utf8Path(const std::filesystem::path& path);

// The core keeps a descriptor in an int. Windows promises that a kernel handle fits in 32 bits
// (so 32-bit and 64-bit programs can share them), and INVALID_HANDLE_VALUE is -1 either way.
inline int IntFromHandle(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}
inline HANDLE HandleFromInt(int fd) {
    return reinterpret_cast<HANDLE>(
        static_cast<std::intptr_t>(fd)); // NOLINT(performance-no-int-to-ptr)
}

// Opens an existing file for reading without blocking on whatever is in its place. Returns the
// handle, or INVALID_HANDLE_VALUE with *error set (errno style): ENOENT when it does not exist,
// EISDIR for a folder, EINVAL for a device, a pipe or anything else that is not a plain file.
HANDLE OpenRegularFileForReading(const std::filesystem::path& path, int* error,
                                 std::uint64_t* size);

} // namespace tovrin::win32
