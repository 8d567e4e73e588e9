#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tovrin::test {

// A fresh working directory with an empty Base/ in it, made current for the life of the object,
// the way the program finds its files. Removed again afterwards.
class TempBase {
public:
    TempBase();
    ~TempBase();
    TempBase(const TempBase&) = delete;
    TempBase& operator=(const TempBase&) = delete;

    const std::filesystem::path& Dir() const { return dir_; }
    std::filesystem::path Base() const { return dir_ / "Base"; }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file);
// The names of the entries of a folder, sorted: what a save left behind beside its file.
std::vector<std::string> FilesIn(const std::filesystem::path& folder);
void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::filesystem::path& file, const std::string& text);

// The source tree, for tests that read files shipped in res/.
std::filesystem::path SourceDir();

} // namespace tovrin::test
