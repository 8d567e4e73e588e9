#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace tovrin {

// Reads a text file the way the language file has always been read: in pieces of at most 255
// characters, a piece ending after its line feed, with every CR LF pair counted as one line feed.
// Files written on any system therefore cut their long lines at the same places. Streams through
// a fixed buffer, so a file of any size costs the same memory.
class TextModeReader {
public:
    static constexpr std::size_t kMaxPiece = 255;

    TextModeReader() = default;
    ~TextModeReader();
    TextModeReader(const TextModeReader&) = delete;
    TextModeReader& operator=(const TextModeReader&) = delete;

    // Only regular files open: a directory or a device would read as an error or never end.
    bool Open(const std::filesystem::path& path);
    void Close();
    [[nodiscard]] bool IsOpen() const { return fd_ != -1; }

    // Goes to a byte offset of the file (offsets count CR LF as two bytes).
    void Seek(std::uint64_t offset);
    // The byte offset just after the last piece read.
    [[nodiscard]] std::uint64_t Offset() const { return offset_; }

    // The next piece, with its line feed when it has one. False at the end of the file or on a
    // read error, which ends the file just the same.
    bool ReadPiece(std::string& piece);

private:
    int NextByte();
    int PeekByte();
    bool Fill();

    int fd_ = -1; // a descriptor, or on Windows a handle (see core/store/win32_file.h)
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::uint64_t offset_ = 0;
    bool end_ = false;
};

} // namespace tovrin
