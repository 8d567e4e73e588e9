// The input bytes are a settings file: loading from memory and from a file must agree, never give
// 0 days, and what is saved must load back as it was.
#include "store/settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tovrin;

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// A per-process folder, in memory where the system offers one: rewriting a file on ext4 makes
// every close wait for the disk, which would slow fuzzing to a crawl.
const std::filesystem::path& ScratchFile() {
    static const std::filesystem::path file = [] {
        std::error_code ec;
        const std::filesystem::path root = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string dir = (root / "fuzz-settings-XXXXXX").string();
        Check(::mkdtemp(dir.data()) != nullptr);
        static std::string removeAtExit = dir;
        std::atexit([] { std::filesystem::remove_all(removeAtExit); });
        return std::filesystem::path(dir) / "tovrin.ini";
    }();
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SettingsReport memoryReport;
    const Settings fromMemory = ParseSettings({data, size}, &memoryReport);
    Check(fromMemory.notifyDays != 0);

    FILE* out = std::fopen(ScratchFile().c_str(), "wb");
    Check(out != nullptr);
    Check(std::fwrite(data, 1, size, out) == size);
    Check(std::fclose(out) == 0);
    SettingsReport fileReport;
    const Settings fromFile = LoadSettings(ScratchFile(), &fileReport);
    Check(fromFile == fromMemory && fileReport.bytesUsed == memoryReport.bytesUsed &&
          fileReport.extraBytes == memoryReport.extraBytes &&
          fileReport.daysRaised == memoryReport.daysRaised);

    const auto encoded = EncodeSettings(fromMemory);
    Check(ParseSettings(encoded) == fromMemory);
    return 0;
}
