#include "support/temp_base.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tovrin::test {

namespace {

// A new folder of a random name, as mkdtemp makes one, on every system.
fs::path MakeUniqueDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path parent = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir = parent / ("tovrin-test-" + std::to_string(random() % 1000000000000));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) {
            fs::permissions(dir, fs::perms::owner_all, ec);
            return dir;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

} // namespace

TempBase::TempBase() : previous_(fs::current_path()) {
    dir_ = MakeUniqueDir();
    fs::create_directory(dir_ / "Base");
    fs::current_path(dir_);
}

TempBase::~TempBase() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(dir_, ec);
}

std::vector<std::uint8_t> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

fs::path SourceDir() {
    if (const char* dir = std::getenv("TOVRIN_SOURCE_DIR")) {
        return dir;
    }
    return TOVRIN_SOURCE_DIR_DEFAULT;
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tovrin::test
