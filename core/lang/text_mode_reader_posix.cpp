#include "core/lang/text_mode_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovrin {
namespace {

constexpr std::size_t kBufferSize = std::size_t{16} * 1024;

} // namespace

bool TextModeReader::Open(const std::filesystem::path& path) {
    Close();
    // Non-blocking, so that a named pipe put in the file's place cannot stall the open.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    if (!buffer_) {
        buffer_ = std::make_unique<char[]>(kBufferSize);
    }
    Seek(0);
    return true;
}

void TextModeReader::Close() {
    if (fd_ != -1) {
        ::close(fd_);
        fd_ = -1;
    }
    pos_ = len_ = 0;
    offset_ = 0;
    end_ = true;
}

void TextModeReader::Seek(std::uint64_t offset) {
    pos_ = len_ = 0;
    offset_ = offset;
    end_ = fd_ < 0 || ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(-1);
}

bool TextModeReader::Fill() {
    while (!end_) {
        ssize_t n = ::read(fd_, buffer_.get(), kBufferSize);
        if (n > 0) {
            pos_ = 0;
            len_ = static_cast<std::size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        end_ = true;
    }
    return false;
}

} // namespace tovrin
