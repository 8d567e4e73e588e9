// The input bytes are a settings file: loading from memory and from a file must agree, never give
// 0 days, and what is saved must load back as it was.
#include "core/store/settings.h"
#include "fuzz/fuzz_scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tovrin;
using fuzz::Check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SettingsReport memoryReport;
    const Settings fromMemory = ParseSettings({data, size}, &memoryReport);
    Check(fromMemory.notifyDays != 0);

    const std::filesystem::path& file = fuzz::WriteScratch("tovrin.ini", data, size);
    SettingsReport fileReport;
    const Settings fromFile = LoadSettings(file, &fileReport);
    Check(fromFile == fromMemory && fileReport.bytesUsed == memoryReport.bytesUsed &&
          fileReport.extraBytes == memoryReport.extraBytes &&
          fileReport.daysRaised == memoryReport.daysRaised);

    const auto encoded = EncodeSettings(fromMemory);
    Check(ParseSettings(encoded) == fromMemory);
    return 0;
}
