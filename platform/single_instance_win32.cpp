// The Windows version of the single-instance marker: a mutex named after the program file in the
// session's namespace. Every copy opens it and keeps it open for its whole life, the refused ones
// too while they show their warning; the system removes the mutex when the last of them ends,
// however it ends, and creating it is one step, so two copies started together never both win.
#include "platform/single_instance.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <utility>

namespace tovrin {
namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, nullptr);
    return text;
}

std::wstring Wide(std::string_view text) {
    std::wstring wide;
    for (const char c : text) {
        wide.push_back(static_cast<unsigned char>(c));
    }
    return wide;
}

HANDLE HandleOf(int value) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)); // NOLINT
}

std::string Describe(const std::string& what, DWORD error) {
    char text[48];
    std::snprintf(text, sizeof text, " (Windows error %lu)", static_cast<unsigned long>(error));
    return what + text;
}

} // namespace

void SingleInstance::Release() {
    if (presenceFd_ != -1) {
        ::CloseHandle(HandleOf(presenceFd_));
        presenceFd_ = -1;
    }
}

// `dir` has no place on Windows: the session's namespace is the directory. It still tells tests
// apart, through the name.
SingleInstance SingleInstance::Join(const std::filesystem::path& dir, std::string_view programKey) {
    std::wstring name = L"Local\\Tovrin-" + Wide(programKey);
    if (!dir.empty()) {
        name += L"-" + Wide(ProgramKey(dir.string()));
    }
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        const DWORD error = ::GetLastError();
        return {State::Unchecked, -1, Describe("cannot make the marker " + Utf8(name), error)};
    }
    // Read at once: the next call may change it.
    const State state =
        ::GetLastError() == ERROR_ALREADY_EXISTS ? State::AlreadyRunning : State::First;
    // Kernel handles fit in 32 bits on every Windows, which is what lets them live in an int.
    return {state, static_cast<int>(reinterpret_cast<std::intptr_t>(mutex)), {}};
}

SingleInstance SingleInstance::Join() {
    const std::string& testKey = ProgramKeyForTests();
    return Join({}, testKey.empty() ? ProgramKey(ProgramFilePath()) : testKey);
}

std::string ProgramFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    // Windows compares paths without regard to case: C:\Tovrin and c:\tovrin are one program.
    for (wchar_t& c : path) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return Utf8(path);
}

std::filesystem::path InstanceDir(std::string* problem) {
    if (problem != nullptr) {
        problem->clear();
    }
    return {}; // the marker is no file on Windows
}

} // namespace tovrin
