#include "core/store/read_only_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovrin {
namespace {

FileStamp StampFrom(const struct stat& info) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.file = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                     static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    return stamp;
}

void CreateEmpty(const std::filesystem::path& path, OpenReport& report) {
    // O_EXCL: a file another process made in the meantime is theirs, not ours to empty.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        struct stat info {};
        if (::fstat(fd, &info) == 0) {
            report.stamp = StampFrom(info);
        }
        ::close(fd);
        report.createdEmpty = true;
    } else if (errno != EEXIST) {
        report.createError = errno;
    }
}

} // namespace

FileStamp StampOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return StampFrom(info);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool ReadOnlyFile::Open(const std::filesystem::path& path, IfMissing ifMissing,
                        OpenReport& report) {
    // O_NONBLOCK keeps a pipe in the file's place from blocking the open until a writer comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        report.error = errno;
        report.outcome = report.error == ENOENT ? OpenOutcome::Missing : OpenOutcome::Failed;
        if (report.outcome == OpenOutcome::Missing && ifMissing == IfMissing::CreateEmpty) {
            CreateEmpty(path, report);
        }
        return false;
    }
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    if (error != 0) {
        report.error = error;
        report.outcome = OpenOutcome::Failed;
        ::close(fd);
        return false;
    }
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    report.outcome = OpenOutcome::Opened;
    report.fileSize = static_cast<std::uint64_t>(info.st_size);
    report.stamp = StampFrom(info);
    return true;
}

std::size_t ReadOnlyFile::Read(std::uint8_t* buffer, std::size_t size, OpenReport& report) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < size) {
        const ssize_t n = ::read(fd_, buffer + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            report.readFailed = true;
            report.error = errno;
            ::close(fd_);
            fd_ = -1;
        }
    }
    return done;
}

} // namespace tovrin
