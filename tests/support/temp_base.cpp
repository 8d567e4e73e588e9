#include "support/temp_base.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tovrin::test {

TempBase::TempBase() : previous_(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "tovrin-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    dir_ = pattern;
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

} // namespace tovrin::test
