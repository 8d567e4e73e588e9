#include "core/store/atomic_file.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::FilesIn;
using test::ReadBytes;
using test::TempBase;
using test::WriteBytes;

const std::vector<std::uint8_t> kOld{1, 0, 0, 0, 'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew(5000, 0xAB);

// After a failed save the old store is there byte for byte and no temporary file is left over.
void ExpectOldStoreUntouched(const TempBase& base) {
    EXPECT_EQ(ReadBytes(kStorePath), kOld);
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});
}

TEST(AtomicFile, ReplacesTheFileAndLeavesNothingElseBehind) {
    TempBase base;
    WriteBytes(kStorePath, kOld);
    ::chmod(kStorePath, 0640);
    const SaveResult result = WriteFileAtomically(kStorePath, kNew);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_TRUE(result.Message().empty());
    EXPECT_EQ(ReadBytes(kStorePath), kNew);
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});
    // Whoever could read the store before still can, and nobody more.
    EXPECT_EQ(fs::status(kStorePath).permissions(), fs::perms(0640));
}

TEST(AtomicFile, ASaveClearsTemporariesOfKilledSavesButNotOfLiveOnes) {
    TempBase base;
    // A pid that surely names no process: a child that has ended and been reaped.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string dead = ".ztovrin.dat." + std::to_string(child) + "-0.tmp";
    const std::string live = ".ztovrin.dat.1-0.tmp"; // init lives as long as the machine
    const std::string other = ".tovrin.ini." + std::to_string(child) + "-0.tmp";
    for (const std::string& name : {dead, live, other}) {
        WriteBytes(base.Base() / name, kOld);
    }

    ASSERT_TRUE(WriteFileAtomically(kStorePath, kNew));

    EXPECT_EQ(FilesIn(base.Base()), (std::vector<std::string>{other, live, "ztovrin.dat"}));
}

TEST(AtomicFile, RealFailuresKeepTheOldFileAndSayWhy) {
    TempBase base;
    fs::create_directory(kStorePath); // something that cannot be replaced by a file
    SaveResult result = WriteStore(kStorePath, std::span<const ReminderRecord>{});
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::Rename);
    EXPECT_EQ(result.error, EISDIR);
    EXPECT_TRUE(fs::is_directory(kStorePath));
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});

    fs::remove_all(base.Base());
    result = WriteStore(kStorePath, std::span<const ReminderRecord>{});
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::CreateTemporary);
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_NE(result.Message().find("Base/ztovrin.dat"), std::string::npos) << result.Message();
    EXPECT_FALSE(fs::exists(base.Base()));
}

// A tiny filesystem over Base/, so the disk really runs out. Needs the right to mount.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (::mount("tmpfs", base_.Base().c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a small filesystem here: " << std::strerror(errno);
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) {
            ::umount2(base_.Base().c_str(), MNT_DETACH);
        }
    }
    TempBase base_;
    bool mounted_ = false;
};

TEST_F(FullDisk, SaveThatDoesNotFitKeepsTheOldStore) {
    WriteBytes(kStorePath, kOld);
    const std::vector<ReminderRecord> many(1000); // 108,004 bytes on a 64 KiB disk
    const SaveResult result = WriteStore(kStorePath, many);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::Write);
    EXPECT_EQ(result.error, ENOSPC);
    EXPECT_EQ(result.Message(), "Could not write Base/ztovrin.dat: No space left on device");
    ExpectOldStoreUntouched(base_);
}

// Faults a disk or a signal can bring at any call, made to order.
struct Faults {
    FileSysCalls sys = FileSysCalls::Posix();
    int writes = 0;
    int syncs = 0;
};

TEST(AtomicFile, ShortWritesAndInterruptionsStillWriteEveryByte) {
    TempBase base;
    WriteBytes(kStorePath, kOld);
    Faults f;
    f.sys.write = [&](int fd, const void* data, std::size_t size) -> ssize_t {
        if (++f.writes % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        return ::write(fd, data, std::min<std::size_t>(size, 7));
    };
    f.sys.sync = [&](int fd) {
        if (f.syncs++ == 0) {
            errno = EINTR;
            return -1;
        }
        return ::fsync(fd);
    };
    ASSERT_TRUE(WriteFileAtomically(kStorePath, kNew, f.sys));
    EXPECT_EQ(ReadBytes(kStorePath), kNew);
    EXPECT_GT(f.writes, 700);
}

TEST(AtomicFile, EachFailingStepKeepsTheOldFileAndRemovesTheTemporary) {
    struct Case {
        const char* what;
        std::function<void(FileSysCalls&)> breakIt;
        SaveStep step;
        int error;
    };
    const std::vector<Case> cases{
        {"write fails",
         [](FileSysCalls& s) {
             s.write = [](int, const void*, std::size_t) -> ssize_t { return errno = EIO, -1; };
         },
         SaveStep::Write, EIO},
        {"write makes no progress",
         [](FileSysCalls& s) {
             s.write = [](int, const void*, std::size_t) -> ssize_t { return 0; };
         },
         SaveStep::Write, EIO},
        {"sync fails", [](FileSysCalls& s) { s.sync = [](int) { return errno = EIO, -1; }; },
         SaveStep::Write, EIO},
        {"close fails",
         [](FileSysCalls& s) {
             s.close = [](int fd) {
                 ::close(fd);
                 return errno = EDQUOT, -1;
             };
         },
         SaveStep::Write, EDQUOT},
        {"rename fails",
         [](FileSysCalls& s) {
             s.rename = [](const char*, const char*) { return errno = EXDEV, -1; };
         },
         SaveStep::Rename, EXDEV},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempBase base;
        WriteBytes(kStorePath, kOld);
        FileSysCalls sys = FileSysCalls::Posix();
        c.breakIt(sys);
        const SaveResult result = WriteFileAtomically(kStorePath, kNew, sys);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.step, c.step);
        EXPECT_EQ(result.error, c.error);
        ExpectOldStoreUntouched(base);
    }
}

TEST(AtomicFile, FolderSyncFailureIsReportedButUnsupportedFolderSyncIsNot) {
    TempBase base;
    Faults f;
    int folderSyncError = EINVAL;
    f.sys.sync = [&](int fd) {
        struct stat info {};
        ::fstat(fd, &info);
        if (S_ISDIR(info.st_mode)) {
            return errno = folderSyncError, -1;
        }
        return ::fsync(fd);
    };
    EXPECT_TRUE(WriteFileAtomically(kStorePath, kOld, f.sys));

    folderSyncError = EIO;
    const SaveResult result = WriteFileAtomically(kStorePath, kNew, f.sys);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::SyncDirectory);
    EXPECT_EQ(ReadBytes(kStorePath), kNew); // the rename had happened; the message says so
    EXPECT_NE(result.Message().find("was written"), std::string::npos);
}

// Users link the store into a synced or backed-up folder; saves must land there, not on the link.
class LinkedStore : public ::testing::Test {
protected:
    LinkedStore() { fs::create_directory(synced_); }

    // The link stays a link, the file it leads to holds the new content with its old mode, and
    // no temporary file is left in either folder.
    void ExpectSavedThrough(const fs::path& real) {
        const SaveResult result = WriteFileAtomically(kStorePath, kNew);
        ASSERT_TRUE(result) << result.Message();
        EXPECT_TRUE(fs::is_symlink(kStorePath));
        EXPECT_EQ(ReadBytes(real), kNew);
        EXPECT_EQ(ReadBytes(kStorePath), kNew);
        EXPECT_EQ(FilesIn(real.parent_path()), std::vector<std::string>{real.filename()});
    }

    TempBase base_;
    const fs::path synced_ = base_.Dir() / "Synced";
};

TEST_F(LinkedStore, RelativeAbsoluteAndChainedLinksAreWrittenThrough) {
    const fs::path real = synced_ / "ztovrin.dat";
    WriteBytes(real, kOld);
    ::chmod(real.c_str(), 0600);
    fs::create_symlink("../Synced/ztovrin.dat", kStorePath);
    ExpectSavedThrough(real);
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0600));
    EXPECT_EQ(FilesIn(base_.Base()), std::vector<std::string>{"ztovrin.dat"});

    fs::remove(kStorePath);
    fs::create_symlink(fs::absolute(real), kStorePath);
    ExpectSavedThrough(real);

    // Base/ztovrin.dat -> Base/hop -> ../Synced/middle -> <absolute>/Synced/ztovrin.dat
    fs::remove(kStorePath);
    fs::create_symlink(fs::absolute(real), synced_ / "middle");
    fs::create_symlink("../Synced/middle", base_.Base() / "hop");
    fs::create_symlink("hop", kStorePath);
    const SaveResult result = WriteFileAtomically(kStorePath, kOld);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_TRUE(fs::is_symlink(synced_ / "middle"));
    EXPECT_TRUE(fs::is_symlink(base_.Base() / "hop"));
    EXPECT_EQ(ReadBytes(real), kOld);
}

TEST_F(LinkedStore, ALinkToNowhereGetsItsFileAndALoopIsAFailure) {
    const fs::path real = synced_ / "new.dat";
    fs::create_symlink(real, kStorePath);
    ExpectSavedThrough(real);

    // A link into a folder that is not there cannot be saved through; nothing appears anywhere.
    fs::remove(kStorePath);
    fs::create_symlink(base_.Dir() / "gone" / "ztovrin.dat", kStorePath);
    SaveResult result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::CreateTemporary);
    EXPECT_NE(result.Message().find("a link to"), std::string::npos) << result.Message();
    EXPECT_FALSE(fs::exists(base_.Dir() / "gone"));

    fs::remove(kStorePath);
    fs::create_symlink("ztovrin.dat", kStorePath);
    result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::Target);
    EXPECT_EQ(result.error, ELOOP);
    EXPECT_TRUE(fs::is_symlink(kStorePath));
    EXPECT_EQ(FilesIn(base_.Base()), std::vector<std::string>{"ztovrin.dat"});
}

// The mode bits decide, whoever runs the program: root's writes ignore them in the kernel.
TEST(AtomicFile, AReadOnlyFileIsNotReplacedAndTheSaveSaysSo) {
    TempBase base;
    WriteBytes(kStorePath, kOld);
    ::chmod(kStorePath, 0444);
    SaveResult result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.FileReplaced());
    EXPECT_EQ(result.step, SaveStep::Target);
    EXPECT_EQ(result.error, EACCES);
    EXPECT_EQ(result.Message(),
              "Could not write Base/ztovrin.dat: Permission denied (the file is read-only)");
    ExpectOldStoreUntouched(base);
    EXPECT_EQ(fs::status(kStorePath).permissions(), fs::perms(0444));

    // Through a link, the file it leads to is the one whose mode counts.
    const fs::path real = base.Dir() / "real.dat";
    fs::rename(kStorePath, real);
    fs::create_symlink(real, kStorePath);
    result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_EQ(result.step, SaveStep::Target);
    EXPECT_EQ(ReadBytes(real), kOld);

    ::chmod(real.c_str(), 0644);
    EXPECT_TRUE(WriteFileAtomically(kStorePath, kNew));
    EXPECT_EQ(ReadBytes(real), kNew);
}

// The folder made durable after the rename is the one the file really lives in.
TEST_F(LinkedStore, TheFolderSyncedIsTheLinkedFilesAndItsFailureSaysTheFileIsInPlace) {
    const fs::path real = synced_ / "ztovrin.dat";
    WriteBytes(real, kOld);
    fs::create_symlink(real, kStorePath);
    struct stat wanted {};
    ASSERT_EQ(::stat(synced_.c_str(), &wanted), 0);
    std::vector<ino_t> syncedFolders;
    Faults f;
    f.sys.sync = [&](int fd) {
        struct stat info {};
        ::fstat(fd, &info);
        if (S_ISDIR(info.st_mode)) {
            syncedFolders.push_back(info.st_ino);
            return errno = EIO, -1;
        }
        return ::fsync(fd);
    };
    const SaveResult result = WriteFileAtomically(kStorePath, kNew, f.sys);
    EXPECT_EQ(syncedFolders, std::vector<ino_t>{wanted.st_ino});
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.FileReplaced());
    EXPECT_EQ(result.step, SaveStep::SyncDirectory);
    EXPECT_EQ(ReadBytes(real), kNew);
    EXPECT_TRUE(fs::is_symlink(kStorePath));
}

} // namespace
} // namespace tovrin
