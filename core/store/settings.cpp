#include "core/store/settings.h"

#include "core/store/atomic_file.h"
#include "core/store/paths.h"

#include <algorithm>
#include <system_error>

namespace tovrin {

std::uint32_t notifyDays = 0;
std::int32_t confirmDelete = 1;

namespace {

// A short file replaces only the low-order bytes it holds; the rest keep the start value.
std::uint32_t Overlay(std::uint32_t start, std::span<const std::uint8_t> bytes) {
    std::uint32_t value = start;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned shift = 8 * static_cast<unsigned>(i);
        value = (value & ~(std::uint32_t{0xFF} << shift)) | std::uint32_t{bytes[i]} << shift;
    }
    return value;
}

void PutU32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

Settings ParseSettings(std::span<const std::uint8_t> bytes, SettingsReport* report) {
    const std::size_t used = std::min(bytes.size(), kSettingsSize);
    const Settings start;
    Settings settings;
    settings.notifyDays = Overlay(start.notifyDays, bytes.first(std::min<std::size_t>(used, 4)));
    if (used > 4) {
        const auto confirm =
            Overlay(static_cast<std::uint32_t>(start.confirmDelete), bytes.subspan(4, used - 4));
        settings.confirmDelete = static_cast<std::int32_t>(confirm);
    }
    const bool raise = settings.notifyDays == 0;
    if (raise) {
        settings.notifyDays = 1;
    }
    if (report != nullptr) {
        report->bytesUsed = used;
        report->extraBytes = bytes.size() > kSettingsSize;
        report->daysRaised = raise && used > 0;
    }
    return settings;
}

std::vector<std::string> DescribeProblems(const SettingsReport& report, const std::string& file) {
    const auto reason = [](int error) { return std::generic_category().message(error); };
    std::vector<std::string> lines;
    if (report.outcome == OpenOutcome::Failed) {
        lines.push_back("Could not open " + file + ": " + reason(report.error));
    } else if (report.outcome == OpenOutcome::Missing && report.createError != 0) {
        lines.push_back(file +
                        " does not exist and could not be created: " + reason(report.createError));
    }
    if (report.readFailed) {
        lines.push_back("Reading " + file + " stopped early: " + reason(report.error));
    }
    if (report.bytesUsed % 4 != 0) {
        lines.push_back(file + " is cut short (" + std::to_string(report.bytesUsed) +
                        " bytes); the missing bytes keep their usual values");
    }
    if (report.extraBytes) {
        lines.push_back(file + " is longer than 8 bytes; the rest is ignored");
    }
    if (report.daysRaised) {
        lines.push_back(file + " gives 0 days of advance notice, which is taken as 1");
    }
    return lines;
}

std::array<std::uint8_t, kSettingsSize> EncodeSettings(const Settings& settings) {
    std::array<std::uint8_t, kSettingsSize> bytes{};
    PutU32(&bytes[0], settings.notifyDays);
    PutU32(&bytes[4], static_cast<std::uint32_t>(settings.confirmDelete));
    return bytes;
}

Settings LoadSettings(const std::filesystem::path& path, SettingsReport* report) {
    return LoadSettings(path, IfMissing::CreateEmpty, report);
}

Settings LoadSettings(const std::filesystem::path& path, IfMissing ifMissing,
                      SettingsReport* report) {
    SettingsReport local;
    SettingsReport& r = report != nullptr ? *report : local;
    r = SettingsReport{};
    std::array<std::uint8_t, kSettingsSize + 1> bytes{}; // one more tells a longer file
    std::size_t got = 0;
    ReadOnlyFile file;
    if (file.Open(path, ifMissing, r)) {
        got = file.Read(bytes.data(), bytes.size(), r);
    }
    return ParseSettings(std::span<const std::uint8_t>(bytes.data(), got), &r);
}

SaveResult SaveSettings(const std::filesystem::path& path, const Settings& settings) {
    const auto bytes = EncodeSettings(settings);
    return WriteFileAtomically(path, bytes);
}

SettingsReport LoadSettings() {
    SettingsReport report;
    const Settings settings = LoadSettings(kSettingsPath, &report);
    notifyDays = settings.notifyDays;
    confirmDelete = settings.confirmDelete;
    return report;
}

SaveResult SaveSettings() {
    return SaveSettings(kSettingsPath, Settings{notifyDays, confirmDelete});
}

} // namespace tovrin
