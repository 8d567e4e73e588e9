#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace tovrin::fuzz {

// A failed expectation is a finding: abort so libFuzzer keeps the input.
inline void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// A file of this name in a per-process folder, in memory where the system offers one: rewriting
// a file on ext4 makes every close wait for the disk, which would slow fuzzing to a crawl. The
// folder goes away at exit.
inline const std::filesystem::path& ScratchFile(const char* name) {
    static const std::filesystem::path file = [name] {
        std::error_code ec;
        const std::filesystem::path root = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string dir = (root / "tovrin-fuzz-XXXXXX").string();
        Check(::mkdtemp(dir.data()) != nullptr);
        static std::string removeAtExit = dir;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return std::filesystem::path(dir) / name;
    }();
    return file;
}

// The input as the whole content of the scratch file.
inline const std::filesystem::path& WriteScratch(const char* name, const std::uint8_t* data,
                                                 std::size_t size) {
    const std::filesystem::path& file = ScratchFile(name);
    std::FILE* f = std::fopen(file.c_str(), "wb");
    Check(f != nullptr);
    Check(size == 0 || std::fwrite(data, 1, size, f) == size);
    Check(std::fclose(f) == 0);
    return file;
}

} // namespace tovrin::fuzz
