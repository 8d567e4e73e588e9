// The Windows version of the reader's file access: the same promises through Win32 calls.
#include "core/lang/text_mode_reader.h"

#include "core/store/win32_file.h"

namespace tovrin {
namespace {

constexpr std::size_t kBufferSize = std::size_t{16} * 1024;

} // namespace

bool TextModeReader::Open(const std::filesystem::path& path) {
    Close();
    int error = 0;
    HANDLE handle = win32::OpenRegularFileForReading(path, &error, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    fd_ = win32::IntFromHandle(handle);
    if (!buffer_) {
        buffer_ = std::make_unique<char[]>(kBufferSize);
    }
    Seek(0);
    return true;
}

void TextModeReader::Close() {
    if (fd_ != -1) {
        ::CloseHandle(win32::HandleFromInt(fd_));
        fd_ = -1;
    }
    pos_ = len_ = 0;
    offset_ = 0;
    end_ = true;
}

void TextModeReader::Seek(std::uint64_t offset) {
    pos_ = len_ = 0;
    offset_ = offset;
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    end_ = fd_ == -1 || !::SetFilePointerEx(win32::HandleFromInt(fd_), to, nullptr, FILE_BEGIN);
}

bool TextModeReader::Fill() {
    if (end_) {
        return false;
    }
    DWORD got = 0;
    if (::ReadFile(win32::HandleFromInt(fd_), buffer_.get(), static_cast<DWORD>(kBufferSize), &got,
                   nullptr) &&
        got > 0) {
        pos_ = 0;
        len_ = got;
        return true;
    }
    end_ = true;
    return false;
}

} // namespace tovrin
