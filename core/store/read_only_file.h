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

// Which file a path named at one moment, and how it was then: enough to tell afterwards whether
// the file is still the one that was read, or was replaced (renamed over, copied over, deleted)
// by someone else meanwhile.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0; // the volume
    std::uint64_t file = 0;   // the file on it (inode, file index)
    std::uint64_t size = 0;
    std::int64_t modified = 0; // last write, in the system's own finest unit
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The file `path` names now, following links; not existing when there is none (or it cannot be
// looked at).
FileStamp StampOf(const std::filesystem::path& path);

// How opening and reading a file went, in enough detail to tell the user in plain words.
struct OpenReport {
    OpenOutcome outcome = OpenOutcome::Opened;
    int error = 0;             // errno of the failed open, or of a read that stopped early
    bool createdEmpty = false; // a missing file was created with 0 bytes
    int createError = 0;       // errno when a missing file could not be created
    bool readFailed = false;   // the file opened, but reading it stopped with `error`
    std::uint64_t fileSize = 0;
    FileStamp stamp; // the file opened, or the empty one created in its place
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

private:
    int fd_ = -1;
};

} // namespace tovrin
