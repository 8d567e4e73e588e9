#include "core/store/paths.h"
#include "core/store/settings.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempBase;
using test::WriteBytes;

TEST(SettingsFile, FirstStartLeavesAnEmptyFileAndGivesOneDayWithConfirmation) {
    TempBase base;
    notifyDays = 0;
    confirmDelete = 0;
    const SettingsReport report = LoadSettings();
    EXPECT_EQ(notifyDays, 1u);
    EXPECT_EQ(confirmDelete, 1);
    EXPECT_EQ(report.outcome, OpenOutcome::Missing);
    EXPECT_TRUE(report.createdEmpty);
    ASSERT_TRUE(fs::exists(kSettingsPath));
    EXPECT_EQ(fs::file_size(kSettingsPath), 0u);

    // An empty file stays empty: loading never writes.
    LoadSettings();
    EXPECT_EQ(fs::file_size(kSettingsPath), 0u);
}

struct Shape {
    const char* sample;
    std::uint32_t days;
    std::int32_t confirm;
    bool raised;
    bool extra;
    std::size_t problems;
};

class SettingsSample : public ::testing::TestWithParam<Shape> {};

// Short files replace only the low-order bytes they hold, starting from 0 days and confirm = 1.
TEST_P(SettingsSample, LoadsAsTheProgramAlwaysHas) {
    const Shape& shape = GetParam();
    TempBase base;
    fs::copy_file(test::SourceDir() / "tests/data/settings" / shape.sample, kSettingsPath);
    SettingsReport report;
    const Settings settings = LoadSettings(kSettingsPath, &report);
    EXPECT_EQ(settings.notifyDays, shape.days);
    EXPECT_EQ(settings.confirmDelete, shape.confirm);
    EXPECT_EQ(report.daysRaised, shape.raised);
    EXPECT_EQ(report.extraBytes, shape.extra);
    EXPECT_EQ(DescribeProblems(report, kSettingsPath).size(), shape.problems);
}

INSTANTIATE_TEST_SUITE_P(Samples, SettingsSample,
                         ::testing::Values(Shape{"empty.ini", 1, 1, false, false, 0},
                                           Shape{"one_byte.ini", 7, 1, false, false, 1},
                                           Shape{"three_bytes.ini", 0x030201, 1, false, false, 1},
                                           Shape{"four_bytes.ini", 9, 1, false, false, 0},
                                           Shape{"five_bytes.ini", 5, 2, false, false, 1},
                                           Shape{"six_bytes.ini", 5, 0, false, false, 1},
                                           Shape{"seven_days_no_confirm.ini", 7, 0, false, false,
                                                 0},
                                           Shape{"zero_days.ini", 1, 1, true, false, 1},
                                           Shape{"longer_than_eight.ini", 3, 1, false, true, 1},
                                           Shape{"max_days.ini", 0xFFFFFFFF, 1, false, false, 0}),
                         [](const auto& info) {
                             std::string name = info.param.sample;
                             return name.substr(0, name.find('.'));
                         });

TEST(SettingsFile, SaveWritesEightLittleEndianBytesAndZeroDaysComesBackAsOne) {
    TempBase base;
    notifyDays = 0; // the settings page gives 0 for an empty field
    confirmDelete = 0;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(kSettingsPath), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(notifyDays, 0u); // the running program keeps what was set

    LoadSettings();
    EXPECT_EQ(notifyDays, 1u);
    EXPECT_EQ(confirmDelete, 0);

    ASSERT_TRUE(SaveSettings(kSettingsPath, Settings{0x01020304, -2}));
    EXPECT_EQ(ReadBytes(kSettingsPath),
              (std::vector<std::uint8_t>{4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(SettingsFile, UnreadableOrUnwritableFileFallsBackAndKeepsWhatWasThere) {
    TempBase base;
    fs::create_directory(kSettingsPath);
    SettingsReport report;
    EXPECT_EQ(LoadSettings(kSettingsPath, &report), (Settings{1, 1}));
    EXPECT_EQ(report.outcome, OpenOutcome::Failed);
    const SaveResult result = SaveSettings(kSettingsPath, Settings{5, 0});
    EXPECT_FALSE(result);
    EXPECT_TRUE(fs::is_directory(kSettingsPath));

    fs::remove_all(base.Base());
    EXPECT_EQ(LoadSettings(kSettingsPath, &report), (Settings{1, 1}));
    EXPECT_FALSE(report.createdEmpty);
    EXPECT_FALSE(fs::exists(base.Base()));
    EXPECT_FALSE(SaveSettings(kSettingsPath, Settings{5, 0}));
}

} // namespace
} // namespace tovrin
