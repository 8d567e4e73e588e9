#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tovrin {

// What a reader does when its file does not exist: the editor and the current-messages window
// create an empty store, the main window leaves the folder alone.
enum class IfMissing { CreateEmpty, LeaveAlone };

enum class OpenOutcome {
    Opened,
    Missing, // the file (or its folder) does not exist
    Failed,  // any other reason, `error` says which; also a folder or device in the file's place
};

// How opening and reading a file went, in enough detail to tell the user in plain words.
struct OpenReport {
    OpenOutcome outcome = OpenOutcome::Opened;
    int error = 0;             // errno of the failed open, or of a read that stopped early
    bool createdEmpty = false; // a missing file was created with 0 bytes
    int createError = 0;       // errno when a missing file could not be created
    bool readFailed = false;   // the file opened, but reading it stopped with `error`
    std::uint64_t fileSize = 0;
};

// A file opened for reading defensively: only regular files are read, so a folder, a pipe or a
// device in the file's place gives an open failure instead of a hang or an endless stream.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Fills the report's open fields. On a missing file with IfMissing::CreateEmpty, creates it
    // with 0 bytes (never truncating one that appeared meanwhile). Returns whether it is open.
    bool Open(const std::filesystem::path& path, IfMissing ifMissing, OpenReport& report);

    // Reads up to `size` bytes; fewer only at the end of the file or on a read error, which is
    // noted in the report and ends all further reading.
    std::size_t Read(std::uint8_t* buffer, std::size_t size, OpenReport& report);
    // The same from a given place in the file, wherever earlier reads left off.
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                       OpenReport& report);

private:
    int fd_ = -1;
};

} // namespace tovrin
