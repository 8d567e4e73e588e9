#pragma once

#include "core/store/read_only_file.h"
#include "core/store/save_result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tovrin {

// The two user settings, as the file holds them: 8 bytes, little-endian, no header. The start
// values are what a value keeps of itself where the file is too short to replace it.
struct Settings {
    std::uint32_t notifyDays = 0;   // days of advance notice for dated reminders
    std::int32_t confirmDelete = 1; // non-zero: deleting a reminder asks first

    friend bool operator==(const Settings&, const Settings&) = default;
};

inline constexpr std::size_t kSettingsSize = 8;

// How loading went, for telling the user in plain words.
struct SettingsReport : OpenReport {
    std::size_t bytesUsed = 0; // 0 to 8
    bool extraBytes = false;   // the file is longer than 8 bytes; the rest is ignored
    bool daysRaised = false;   // the file said 0 days, which loads as 1
};

// Plain sentences, one per thing loading had to make up for, naming the file as `file`.
std::vector<std::string> DescribeProblems(const SettingsReport& report, const std::string& file);

// The settings as loading gives them from the file's first bytes: the bytes present replace the
// start values' low-order bytes, and 0 days becomes 1.
Settings ParseSettings(std::span<const std::uint8_t> bytes, SettingsReport* report = nullptr);
std::array<std::uint8_t, kSettingsSize> EncodeSettings(const Settings& settings);

// Reads the file; a missing file is created empty (0 bytes), any other failure creates nothing.
// Every failure gives the start values with 0 days raised to 1.
Settings LoadSettings(const std::filesystem::path& path, SettingsReport* report = nullptr);
// The same values, with the caller's choice of what a missing file gets (the read-only tools
// leave it missing).
Settings LoadSettings(const std::filesystem::path& path, IfMissing ifMissing,
                      SettingsReport* report);
// Writes exactly 8 bytes, atomically: on failure the old file stays and the result says why.
SaveResult SaveSettings(const std::filesystem::path& path, const Settings& settings);

// The values the windows use for the whole run, read once at start-up.
extern std::uint32_t notifyDays;
extern std::int32_t confirmDelete;

// Loads Base/tovrin.ini into notifyDays and confirmDelete.
SettingsReport LoadSettings();
// Writes notifyDays and confirmDelete to Base/tovrin.ini as they are, 0 days included.
SaveResult SaveSettings();

} // namespace tovrin
