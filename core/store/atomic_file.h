#pragma once

#include "core/store/save_result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <sys/types.h>

namespace tovrin {

// The system calls a save makes. Real saves use Posix(); tests swap single calls for ones that
// fail or come back short, the faults a disk or a signal can bring that are hard to make on cue.
struct FileSysCalls {
    std::function<int(const char* path, int flags, mode_t mode)> open;
    std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
    std::function<int(int fd)> sync;
    std::function<int(int fd)> close;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(const char* path)> unlink;

    static const FileSysCalls& Posix();
};

// Replaces `file` with `bytes` so that a reader, a crash or a full disk sees either the old file
// or the new one, never a mix: a uniquely named temporary file in the same folder, every byte
// written, synced, renamed over the target, then the folder synced. On any failure before the
// rename the temporary file is removed and the old file is untouched.
//
// A `file` that is a symbolic link is written through: the file it leads to is replaced, with the
// temporary file beside that one, and the link stays. A file without write permission (for
// anyone, root included) is not replaced: that is a failed save (SaveStep::Target).
SaveResult WriteFileAtomically(const std::filesystem::path& file,
                               std::span<const std::uint8_t> bytes);

// Removes the temporary files that saves of `file` killed before their rename left beside it,
// once the process that made each is gone; those of a save under way stay. A save does this
// itself when it has succeeded; a start does it too, so a killed save's copy does not wait for the
// next one.
void RemoveStaleTemporaries(const std::filesystem::path& file);
SaveResult WriteFileAtomically(const std::filesystem::path& file,
                               std::span<const std::uint8_t> bytes, const FileSysCalls& sys);

} // namespace tovrin
