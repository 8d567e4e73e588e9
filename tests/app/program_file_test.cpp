// The Windows program file as Explorer and the loader see it: a windowing program (no console
// opens beside it), the program's icon as resource 128, its version, and the one C++ runtime its
// Qt DLLs use.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

std::vector<char> Bytes(const char* file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const IMAGE_NT_HEADERS64* Headers(const std::vector<char>& image) {
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) {
        return nullptr;
    }
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto at = static_cast<std::size_t>(dos->e_lfanew);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || at + sizeof(IMAGE_NT_HEADERS64) > image.size()) {
        return nullptr;
    }
    return reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + at);
}

TEST(ProgramFile, IsAWindowingProgramWithItsIconAndVersion) {
    const std::vector<char> image = Bytes(TOVRIN_PROGRAM);
    const IMAGE_NT_HEADERS64* headers = Headers(image);
    ASSERT_NE(headers, nullptr) << TOVRIN_PROGRAM;
    EXPECT_EQ(headers->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    HMODULE module = ::LoadLibraryExA(TOVRIN_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(128), MAKEINTRESOURCEW(14)), nullptr)
        << "no icon 128"; // RT_GROUP_ICON
    ::FreeLibrary(module);

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(TOVRIN_PROGRAM, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(TOVRIN_PROGRAM, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(version, TOVRIN_VERSION);
    char* product = nullptr;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductName",
                                 reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, "Tovrin");
}

// A C++ runtime linked in beside the one the Qt DLLs load would be a second copy in the process.
TEST(ProgramFile, LoadsTheCppRuntimeItsQtDllsLoad) {
    HMODULE module = ::LoadLibraryExA(TOVRIN_PROGRAM, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);
    const auto* base = reinterpret_cast<const std::uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> imports;
    for (const auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        imports.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
    }
    ::FreeLibrary(module);
    auto imported = [&imports](const std::string& name) {
        for (const std::string& dll : imports) {
            if (::lstrcmpiA(dll.c_str(), name.c_str()) == 0) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(imported("libstdc++-6.dll"));
    EXPECT_TRUE(imported("Qt6Widgets.dll"));
}

} // namespace
