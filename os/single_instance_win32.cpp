// The Windows version of the single-instance marker: mutexes named after the program file (its
// path and its file id) in the session's namespace. Every copy opens them and keeps them open for
// its whole life, the refused ones too while they show their warning; the system removes a mutex
// when the last of them ends, however it ends, and creating one is one step, so two copies started
// together never both win.
#include "os/single_instance.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <aclapi.h>

#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <memory>
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

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    return wide;
}

HANDLE HandleOf(long long value) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)); // NOLINT
}

std::string Describe(const std::string& what, DWORD error) {
    char text[48];
    std::snprintf(text, sizeof text, " (Windows error %lu)", static_cast<unsigned long>(error));
    return what + text;
}

std::string IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%08lx:%08lx%08lx",
                  static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh),
                  static_cast<unsigned long>(info.nFileIndexLow));
    return text;
}

// Whether the object was made by this user. A mutex of the same name made by another user in the
// session proves nothing about our copies; when the system does not say, it counts as ours, as it
// always did.
bool MadeByThisUser(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return true;
    }
    bool ours = true;
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        auto buffer = std::make_unique<unsigned char[]>(size > 0 ? size : 1);
        if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) {
            const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.get());
            ours = owner == nullptr || ::EqualSid(owner, user->User.Sid) != FALSE;
        }
        ::CloseHandle(token);
    }
    ::LocalFree(descriptor);
    return ours;
}

} // namespace

void SingleInstance::Release() {
    for (const long long handle : held_) {
        ::CloseHandle(HandleOf(handle));
    }
    held_.clear();
}

// `dir` has no place on Windows: the session's namespace is the directory. It still tells tests
// apart, through the name.
SingleInstance SingleInstance::Join(const std::filesystem::path& dir,
                                    const std::vector<std::string>& keys) {
    SingleInstance joined(State::First, {});
    int trusted = 0;
    for (const std::string& key : keys) {
        std::wstring name = L"Local\\Tovrin-" + Wide(key);
        if (!dir.empty()) {
            name += L"-" + Wide(ProgramKey(dir.string()));
        }
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
        // Read at once: the next call may change it.
        const DWORD error = ::GetLastError();
        if (mutex == nullptr) {
            if (error != ERROR_ACCESS_DENIED) {
                joined.Release();
                return {State::Unchecked, Describe("cannot make the marker " + Utf8(name), error)};
            }
            continue; // another user's, shut to us: it tells nothing about our copies
        }
        if (error == ERROR_ALREADY_EXISTS && !MadeByThisUser(mutex)) {
            ::CloseHandle(mutex);
            continue;
        }
        ++trusted;
        if (error == ERROR_ALREADY_EXISTS) {
            joined.state_ = State::AlreadyRunning;
        }
        // Kernel handles fit in 32 bits on every Windows; a long long holds any of them.
        joined.held_.push_back(static_cast<long long>(reinterpret_cast<std::intptr_t>(mutex)));
    }
    if (trusted == 0 && !keys.empty()) {
        joined.Release();
        return {State::Unchecked, "the marker's name is held by another user"};
    }
    return joined;
}

SingleInstance SingleInstance::Join() {
    const std::string& testKey = ProgramKeyForTests();
    return Join({}, testKey.empty() ? ProgramKeys() : std::vector<std::string>{testKey});
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

std::string FileIdentity(const std::filesystem::path& file) {
    HANDLE handle = ::CreateFileW(file.wstring().c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string identity = IdentityOf(handle);
    ::CloseHandle(handle);
    return identity;
}

std::string ProgramFileIdentity() {
    // A hard link to the program, or a second name for its folder, is the same file.
    return FileIdentity(WideFromUtf8(ProgramFilePath()));
}

std::filesystem::path InstanceDir(std::string* problem) {
    if (problem != nullptr) {
        problem->clear();
    }
    return {}; // the marker is no file on Windows
}

std::vector<std::string> WitnessNames(const std::vector<std::string>&) {
    return {};
}

} // namespace tovrin
