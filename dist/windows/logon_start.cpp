// tovrin-logon.exe: what the user's Run value starts when they log on. Windows starts a Run value's
// program in a folder of its own choosing (the system folder, as a rule), and Tovrin keeps
// everything in Base\ under the folder it starts in, so this starts the tovrin.exe beside it in
// the user's own %APPDATA%\Tovrin, the folder the Start-menu shortcut starts it in, and ends.
// A folder the user emptied or deleted gets the shipped texts and help of the program folder
// again, as a first install gave them, so a start at logon never meets a missing language file;
// a file that is there is never replaced.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shlobj.h>

#include <string>

namespace {

// The folder this program file is in.
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) { // the longest path Windows has
            return {};
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The installer's $APPDATA\Tovrin: the user's roaming application data.
std::wstring UserFolder() {
    PWSTR roaming = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) {
        folder = std::wstring(roaming) + L"\\Tovrin";
    }
    ::CoTaskMemFree(roaming);
    return folder;
}

std::wstring Reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr); // NOLINT
    std::wstring reason = length > 0 ? std::wstring(text, length) : std::wstring();
    ::LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) {
        reason.pop_back();
    }
    return reason.empty() ? L"Windows error " + std::to_wstring(error) : reason;
}

// Nobody watches a logon for a program that did not come: a failure is told in a box.
int Fail(const std::wstring& what, DWORD error) {
    const std::wstring text = L"Tovrin could not be started at logon: " + what + L"\n\n" +
                              Reason(error) +
                              L"\n\nStart it from the Start menu, or install it again.";
    ::MessageBoxW(nullptr, text.c_str(), L"Tovrin", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 1;
}

bool MakeFolder(const std::wstring& folder) {
    return ::CreateDirectoryW(folder.c_str(), nullptr) != 0 ||
           ::GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring program = ProgramFolder();
    if (program.empty()) {
        return Fail(L"its own folder is not known.", ::GetLastError());
    }
    const std::wstring folder = UserFolder();
    if (folder.empty()) {
        return Fail(L"the folder for your reminders (%APPDATA%) is not known.", ::GetLastError());
    }
    const std::wstring base = folder + L"\\Base";
    if (!MakeFolder(folder) || !MakeFolder(base)) {
        return Fail(L"the folder " + base + L" cannot be made.", ::GetLastError());
    }
    for (const wchar_t* name : {L"default.lng", L"english.lng", L"Help.chm"}) {
        // Fails, as it should, where the file is there already.
        ::CopyFileW((program + L"\\Base\\" + name).c_str(), (base + L"\\" + name).c_str(), TRUE);
    }

    const std::wstring exe = program + L"\\tovrin.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &started)) {
        return Fail(exe + L" did not start.", ::GetLastError());
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return 0;
}
