#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempBase;
using test::WriteBytes;

fs::path Sample(const std::string& name) {
    return test::SourceDir() / "tests/data/store" / name;
}

// Puts a sample in the store's place, the way a user's old file would lie there.
void UseSample(const std::string& name) {
    fs::copy_file(Sample(name), kStorePath, fs::copy_options::overwrite_existing);
}

ReminderRecord Make(int32_t mode, SYSTEMTIME when, std::string_view text) {
    ReminderRecord record;
    record.mode = mode;
    record.when = when;
    SetText(record, text);
    return record;
}

TEST(StoreFile, EmptyListIsFourZeroBytesAndReadsBackEmpty) {
    TempBase base;
    ASSERT_TRUE(WriteStore(kStorePath, std::span<const ReminderRecord>{}));
    EXPECT_EQ(ReadBytes(kStorePath), (std::vector<std::uint8_t>{0, 0, 0, 0}));

    std::vector<ReminderRecord> records;
    const ReadReport report = ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(report.Sound());
}

TEST(StoreFile, ThreeRecordsReadFieldByFieldAndWriteBackByteForByte) {
    TempBase base;
    UseSample("three_records.dat");
    std::vector<ReminderRecord> records;
    const ReadReport report = ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(report.Sound());
    EXPECT_EQ(report.fileSize, 328u);

    EXPECT_EQ(records[0].mode, MODE_ONCE);
    EXPECT_EQ(records[0].when, (SYSTEMTIME{2026, 12, 2, 8, 14, 30, 0, 0}));
    EXPECT_EQ(TextOf(records[0]), "Call the bank");
    // The stored work field is handed on as it lies; each reader's rule decides what it means.
    EXPECT_EQ(records[1].state, 1983);
    EXPECT_EQ(TextOf(records[1]), "\xc4\xe5\xed\xfc \xf0\xee\xe6\xe4\xe5\xed\xe8\xff");
    EXPECT_EQ(records[2].mode, MODE_DAILY);

    fs::remove(kStorePath);
    ASSERT_TRUE(WriteStore(kStorePath, records));
    const auto written = ReadBytes(kStorePath);
    ASSERT_EQ(written.size(), 328u);
    EXPECT_EQ(written, ReadBytes(Sample("three_records.dat")));

    // The editor keeps pointers; that list must give the very same file.
    const std::vector<const ReminderRecord*> pointers{&records[0], &records[1], &records[2]};
    ASSERT_TRUE(WriteStore(kStorePath, pointers));
    EXPECT_EQ(ReadBytes(kStorePath), written);
}

TEST(StoreFile, EightyCharacterTextKeepsItsTerminatorInsideTheField) {
    TempBase base;
    UseSample("text_80_chars.dat");
    std::vector<ReminderRecord> records;
    ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(TextOf(records[0]), std::string(79, 'x') + "!");
    EXPECT_EQ(records[0].when.wMilliseconds, 500); // clean-up is the editor's rule, not the file's

    const auto sample = ReadBytes(kStorePath);
    ASSERT_TRUE(WriteStore(kStorePath, records));
    EXPECT_EQ(ReadBytes(kStorePath), sample);
}

TEST(StoreFile, LeftoverBytesAfterTheTerminatorAreIgnoredAndNotWrittenBack) {
    TempBase base;
    UseSample("junk_after_terminator.dat");
    std::vector<ReminderRecord> read;
    ReadStore(kStorePath, IfMissing::LeaveAlone, read);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(TextOf(read[0]), "Call the bank");

    // Equal lists give equal files, whatever lay after the terminator before.
    const ReminderRecord fresh = Make(MODE_ONCE, {2026, 12, 2, 8, 14, 30, 0, 0}, "Call the bank");
    read[0].text[30] = 'Z';
    EXPECT_EQ(EncodeStore(read), EncodeStore(std::span<const ReminderRecord>(&fresh, 1)));
}

struct SizeBound final : RecordBlockSink {
    std::size_t mostRecords = 0;
    void Begin(std::size_t most) override { mostRecords = most; }
    void Records(std::span<const std::uint8_t>) override {}
};

struct OddShape {
    const char* sample;
    std::size_t records;
    std::uint32_t declared;
    bool countCut;
    bool lastCut;
    std::uint32_t unterminated;
    bool trailing;
};

class OddStore : public ::testing::TestWithParam<OddShape> {};

TEST_P(OddStore, IsReadAsFarAsItIsSoundAndSaysWhatItDropped) {
    const OddShape& shape = GetParam();
    TempBase base;
    UseSample(shape.sample);
    const auto before = ReadBytes(kStorePath);
    std::vector<ReminderRecord> records;
    const ReadReport report = ReadStore(kStorePath, IfMissing::CreateEmpty, records);

    EXPECT_EQ(report.outcome, OpenOutcome::Opened);
    EXPECT_EQ(records.size(), shape.records);
    EXPECT_EQ(report.recordsRead, shape.records);
    EXPECT_EQ(report.declaredCount, shape.declared);
    EXPECT_EQ(report.countCutShort, shape.countCut);
    EXPECT_EQ(report.lastRecordCutShort, shape.lastCut);
    EXPECT_EQ(report.unterminatedTexts, shape.unterminated);
    EXPECT_EQ(report.trailingBytes, shape.trailing);
    // Whatever the count claims, no list is ever sized beyond what the file can hold.
    SizeBound bound;
    ScanStoreFile(kStorePath, IfMissing::LeaveAlone, bound);
    EXPECT_LE(bound.mostRecords, report.fileSize / kRecordSize);
    for (const ReminderRecord& record : records) {
        EXPECT_LE(TextOf(record).size(), kTextFieldSize - 1);
    }
    EXPECT_EQ(report.Sound(), DescribeProblems(report, kStorePath).empty());
    EXPECT_EQ(ReadBytes(kStorePath), before); // reading never rewrites
}

INSTANTIATE_TEST_SUITE_P(
    Samples, OddStore,
    ::testing::Values(OddShape{"empty.dat", 0, 0, false, false, 0, false},
                      OddShape{"empty_list.dat", 0, 0, false, false, 0, false},
                      OddShape{"count_1_byte.dat", 0, 0, true, false, 0, false},
                      OddShape{"count_2_bytes.dat", 0, 0, true, false, 0, false},
                      OddShape{"count_3_bytes.dat", 0, 0, true, false, 0, false},
                      OddShape{"cut_last_record.dat", 1, 2, false, true, 0, false},
                      OddShape{"huge_count_two_records.dat", 2, 0xFFFFFFFF, false, false, 0, false},
                      OddShape{"unterminated_text.dat", 1, 1, false, false, 1, false},
                      OddShape{"trailing_bytes.dat", 1, 1, false, false, 0, true}),
    [](const auto& info) {
        std::string name = info.param.sample;
        return name.substr(0, name.find('.'));
    });

TEST(StoreFile, UnterminatedTextIsCutInsideItsField) {
    TempBase base;
    UseSample("unterminated_text.dat");
    std::vector<ReminderRecord> records;
    ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(TextOf(records[0]), std::string(kTextFieldSize - 1, 'U'));
}

TEST(StoreFile, MissingStoreIsCreatedEmptyOnlyWhenTheReaderAsks) {
    TempBase base;
    std::vector<ReminderRecord> records;
    ReadReport report = ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    EXPECT_EQ(report.outcome, OpenOutcome::Missing);
    EXPECT_FALSE(report.createdEmpty);
    EXPECT_FALSE(fs::exists(kStorePath));

    report = ReadStore(kStorePath, IfMissing::CreateEmpty, records);
    EXPECT_EQ(report.outcome, OpenOutcome::Missing);
    EXPECT_TRUE(report.createdEmpty);
    ASSERT_TRUE(fs::exists(kStorePath));
    EXPECT_EQ(fs::file_size(kStorePath), 0u);
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(report.Sound());
}

TEST(StoreFile, UnopenableStoreGivesNothingAndCreatesNothing) {
    TempBase base;
    std::vector<ReminderRecord> records;

    fs::create_directory(kStorePath);
    ReadReport report = ReadStore(kStorePath, IfMissing::CreateEmpty, records);
    EXPECT_EQ(report.outcome, OpenOutcome::Failed);
    EXPECT_EQ(report.error, EISDIR);
    EXPECT_FALSE(report.Sound());

#ifndef _WIN32
    // A pipe in the store's place must not make the reader wait for a writer.
    fs::remove(kStorePath);
    ASSERT_EQ(::mkfifo(kStorePath, 0600), 0);
    report = ReadStore(kStorePath, IfMissing::CreateEmpty, records);
    EXPECT_EQ(report.outcome, OpenOutcome::Failed);
#endif

    fs::remove_all(base.Base());
    report = ReadStore(kStorePath, IfMissing::CreateEmpty, records);
    EXPECT_FALSE(report.createdEmpty);
    EXPECT_NE(report.createError, 0);
    EXPECT_FALSE(fs::exists(base.Base()));
    EXPECT_TRUE(records.empty());
}

// A store no one could have written: a count and a size beyond any list of reminders (a sparse
// file costs no disk). Nothing of it is read, so no list is sized for it and no reader spends a
// minute on gigabytes of it; every reader says the same.
TEST(StoreFile, AStoreLargerThanAnyListIsRefusedWholeWithoutReadingIt) {
    TempBase base;
    const std::uint64_t oneTooMany = std::uint64_t{kMostStoredRecords} + 1;
    for (const std::uint32_t count :
         {static_cast<std::uint32_t>(oneTooMany), std::uint32_t{0xFFFFFFFF}}) {
        SCOPED_TRACE(count);
        std::vector<std::uint8_t> head(4 + kRecordSize, 0);
        for (int i = 0; i < 4; ++i) {
            head[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(count >> (8 * i));
        }
        WriteBytes(kStorePath, head);
        fs::resize_file(kStorePath, 4 + kRecordSize * oneTooMany);

        std::vector<ReminderRecord> records;
        const ReadReport report = ReadStore(kStorePath, IfMissing::LeaveAlone, records);
        EXPECT_TRUE(report.tooLarge);
        EXPECT_TRUE(report.Refused());
        EXPECT_FALSE(report.Sound());
        EXPECT_EQ(report.heldRecords, oneTooMany);
        EXPECT_TRUE(records.empty());
        EXPECT_EQ(records.capacity(), 0u);
        const std::vector<std::string> lines = DescribeProblems(report, kStorePath);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("is damaged"), std::string::npos) << lines[0];

        int visited = 0;
        EXPECT_TRUE(
            ForEachStoredRecord(kStorePath, IfMissing::LeaveAlone, [&](const ReminderRecord&) {
                ++visited;
            }).tooLarge);
        EXPECT_EQ(visited, 0);
    }

    // A count far beyond a file that holds a few records is a store cut short, read as before.
    std::vector<std::uint8_t> bytes{0xFF, 0xFF, 0xFF, 0xFF};
    for (const char* text : {"one", "two"}) {
        const RecordBytes record =
            EncodeRecord(Make(MODE_YEARLY, {2027, 1, 0, 1, 0, 0, 0, 0}, text));
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    WriteBytes(kStorePath, bytes);
    std::vector<ReminderRecord> records;
    const ReadReport cut = ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    EXPECT_FALSE(cut.Refused());
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(cut.MissingRecords(), 0xFFFFFFFFu - 2);
}

TEST(StoreFile, RuleAdjustsAndFiltersAndKeptRecordsAreAppendedInFileOrder) {
    TempBase base;
    UseSample("three_records.dat");
    std::vector<ReminderRecord> records(1); // a caller's list that already holds one
    const ReadReport report = ReadStore(
        kStorePath, IfMissing::LeaveAlone,
        [](ReminderRecord& r) {
            r.state = 0;
            return r.mode != MODE_YEARLY;
        },
        records);
    EXPECT_EQ(report.recordsRead, 3u);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].mode, MODE_ONCE);
    EXPECT_EQ(records[2].mode, MODE_DAILY);

    std::vector<int32_t> modes;
    ForEachStoredRecord(kStorePath, IfMissing::LeaveAlone,
                        [&](const ReminderRecord& r) { modes.push_back(r.mode); });
    EXPECT_EQ(modes, (std::vector<int32_t>{MODE_ONCE, MODE_YEARLY, MODE_DAILY}));
}

// The file is read in blocks that do not fall on record boundaries; records that straddle two
// blocks must come out whole.
TEST(StoreFile, LargeStoreRoundTripsAcrossReadBlocks) {
    TempBase base;
    std::vector<ReminderRecord> records;
    for (int i = 0; i < 5000; ++i) {
        records.push_back(Make(i % 2 ? MODE_MONTHLY : MODE_ONCE,
                               {static_cast<uint16_t>(2000 + i % 50), 1, 0, 1, 0, 0, 0, 0},
                               "reminder " + std::to_string(i)));
    }
    ASSERT_TRUE(WriteStore(kStorePath, records));
    auto bytes = ReadBytes(kStorePath);
    EXPECT_EQ(bytes.size(), 4 + 5000 * kRecordSize);
    std::vector<ReminderRecord> back;
    ReadReport report = ReadStore(kStorePath, IfMissing::LeaveAlone, back);
    EXPECT_TRUE(report.Sound());
    ASSERT_EQ(back.size(), records.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        ASSERT_EQ(std::memcmp(&back[i], &records[i], sizeof(ReminderRecord)), 0) << i;
    }

    // A single stray byte after the last block must still be noticed.
    bytes.push_back(0);
    WriteBytes(kStorePath, bytes);
    back.clear();
    report = ReadStore(kStorePath, IfMissing::LeaveAlone, back);
    EXPECT_EQ(back.size(), records.size());
    EXPECT_TRUE(report.trailingBytes);
}

struct CollectBytes final : RecordBlockSink {
    std::vector<std::uint8_t> bytes;
    void Records(std::span<const std::uint8_t> wholeRecords) override {
        bytes.insert(bytes.end(), wholeRecords.begin(), wholeRecords.end());
    }
};

// Data given a byte at a time must read exactly as data given at once.
TEST(StoreFile, ScannerGivesTheSameResultWhateverThePieces) {
    for (const char* name : {"three_records.dat", "cut_last_record.dat", "count_3_bytes.dat",
                             "trailing_bytes.dat", "huge_count_two_records.dat"}) {
        SCOPED_TRACE(name);
        const auto bytes = ReadBytes(Sample(name));
        CollectBytes whole;
        const ReadReport expected = ScanStoreBytes(bytes, whole);

        CollectBytes pieces;
        ReadReport report;
        StoreScanner scanner(report, pieces, bytes.size());
        for (std::uint8_t byte : bytes) {
            scanner.Feed({&byte, 1});
        }
        scanner.Finish();

        EXPECT_EQ(pieces.bytes, whole.bytes);
        EXPECT_EQ(report.recordsRead, expected.recordsRead);
        EXPECT_EQ(report.declaredCount, expected.declaredCount);
        EXPECT_EQ(report.countCutShort, expected.countCutShort);
        EXPECT_EQ(report.lastRecordCutShort, expected.lastRecordCutShort);
        EXPECT_EQ(report.trailingBytes, expected.trailingBytes);
    }
}

} // namespace
} // namespace tovrin
