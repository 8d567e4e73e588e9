// The safe save and the readers on Windows, with real files: what the user's disk can do to them.
#include "core/store/atomic_file.h"
#include "core/store/paths.h"
#include "core/store/read_only_file.h"
#include "core/store/store_file.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::FilesIn;
using test::ReadBytes;
using test::TempBase;
using test::WriteBytes;

const std::vector<std::uint8_t> kOld{1, 0, 0, 0, 'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew(5000, 0xAB);

TEST(AtomicFileWin32, ReplacesOrCreatesTheFileAndLeavesNothingElseBehind) {
    TempBase base;
    SaveResult result = WriteFileAtomically(kStorePath, kNew);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(ReadBytes(kStorePath), kNew);

    WriteBytes(kStorePath, kOld);
    result = WriteFileAtomically("Base\\ztovrin.dat", kNew);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(ReadBytes(kStorePath), kNew);
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});
}

TEST(AtomicFileWin32, FailuresKeepTheOldFileAndSayWhy) {
    TempBase base;
    // No folder: not even a temporary file can be made.
    fs::remove(base.Base());
    SaveResult result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::CreateTemporary);
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_FALSE(fs::exists(base.Base()));

    // A folder in the file's place is not replaced.
    fs::create_directories(kStorePath);
    result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::Rename);
    EXPECT_TRUE(fs::is_directory(kStorePath));
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});

    // A store the user made read-only stays as it is, and the save says it failed.
    fs::remove(kStorePath);
    WriteBytes(kStorePath, kOld);
    ASSERT_TRUE(::SetFileAttributesW(L"Base\\ztovrin.dat", FILE_ATTRIBUTE_READONLY));
    result = WriteFileAtomically(kStorePath, kNew);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.step, SaveStep::Target);
    EXPECT_EQ(result.error, EACCES);
    EXPECT_NE(result.Message().find("Base/ztovrin.dat"), std::string::npos) << result.Message();
    EXPECT_NE(result.Message().find("read-only"), std::string::npos) << result.Message();
    EXPECT_EQ(ReadBytes(kStorePath), kOld);
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});
    ::SetFileAttributesW(L"Base\\ztovrin.dat", FILE_ATTRIBUTE_NORMAL);
}

TEST(AtomicFileWin32, AReaderHoldingTheFileOpenSeesTheOldOrTheNewNeverAMix) {
    TempBase base;
    WriteBytes(kStorePath, kOld);
    ReadOnlyFile reader;
    OpenReport report;
    ASSERT_TRUE(reader.Open(kStorePath, IfMissing::LeaveAlone, report));
    const SaveResult result = WriteFileAtomically(kStorePath, kNew);
    // Windows may refuse to replace a file somebody has open; then the save says so.
    if (result) {
        EXPECT_EQ(ReadBytes(kStorePath), kNew);
    } else {
        EXPECT_EQ(result.step, SaveStep::Rename);
        EXPECT_EQ(ReadBytes(kStorePath), kOld);
    }
    // The reader goes on with the file it opened, whole.
    std::uint8_t bytes[16]{};
    EXPECT_EQ(reader.Read(bytes, sizeof bytes, report), kOld.size());
    EXPECT_EQ(bytes[4], 'o');
    EXPECT_EQ(FilesIn(base.Base()), std::vector<std::string>{"ztovrin.dat"});
}

TEST(AtomicFileWin32, TemporariesOfEndedProcessesAreClearedOwnAndForeignOnesKept) {
    TempBase base;
    // Process ids are multiples of 4 on Windows: 3 never names a process.
    WriteBytes("Base/.ztovrin.dat.3-0.tmp", kOld);
    WriteBytes("Base/.ztovrin.dat.notes.tmp", kOld);
    ASSERT_TRUE(WriteFileAtomically(kStorePath, kNew));
    EXPECT_EQ(FilesIn(base.Base()),
              (std::vector<std::string>{".ztovrin.dat.notes.tmp", "ztovrin.dat"}));
}

TEST(ReadersWin32, NonAsciiFoldersWorkAndDevicesAreNotRead) {
    TempBase base;
    const fs::path folder = fs::path(L"\u041F\u0430\u043F\u043A\u0430") / "Base"; // "Папка"
    fs::create_directories(folder);
    const std::vector<ReminderRecord> records(2);
    ASSERT_TRUE(WriteStore(folder / "ztovrin.dat", records));
    std::vector<ReminderRecord> back;
    const ReadReport read = ReadStore(folder / "ztovrin.dat", IfMissing::LeaveAlone, back);
    EXPECT_EQ(read.outcome, OpenOutcome::Opened);
    EXPECT_EQ(back.size(), 2u);

    for (const char* device : {"NUL", "nul"}) {
        ReadOnlyFile file;
        OpenReport report;
        EXPECT_FALSE(file.Open(device, IfMissing::CreateEmpty, report)) << device;
        EXPECT_EQ(report.outcome, OpenOutcome::Failed) << device;
        EXPECT_FALSE(report.createdEmpty) << device;
    }
}

} // namespace
} // namespace tovrin
