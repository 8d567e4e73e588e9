// What another program's dialog shows, for the end-to-end runs under Wine: the X server sees the
// top-level windows of a Windows program, but a dialog's buttons, boxes and labels live inside
// Wine alone, so this asks Windows for them as any program could.
//   tovrin_dialog_probe TITLE
// prints each visible window whose title begins with TITLE, and every visible control inside it,
// one a line:
//   CLASS|ID|CHECK|X,Y,WIDTH,HEIGHT|TEXT
// CHECK is 1 for a ticked box, 0 for one not ticked, - for any other control; the place is in
// screen pixels, which under Wine are the X screen's; line breaks in a text print as spaces.
// Exit status 1 when no window matched.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

struct Search {
    const wchar_t* title;
    bool found = false;
};

void Write(const std::wstring& line) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), text.data(), size,
                          nullptr, nullptr);
    text += '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                &written, nullptr);
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    std::wstring shown(text);
    for (wchar_t& c : shown) {
        if (c == L'\r' || c == L'\n' || c == L'|') {
            c = L' ';
        }
    }
    return shown;
}

std::wstring CheckOf(HWND window, const wchar_t* className) {
    if (std::wcscmp(className, L"Button") != 0) {
        return L"-";
    }
    switch (::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        DWORD_PTR state = 0;
        ::SendMessageTimeoutW(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
        return state == BST_CHECKED ? L"1" : L"0";
    }
    default:
        return L"-";
    }
}

void Describe(HWND window) {
    wchar_t className[256] = {};
    ::GetClassNameW(window, className, 256);
    RECT place{};
    ::GetWindowRect(window, &place);
    Write(std::wstring(className) + L"|" + std::to_wstring(::GetDlgCtrlID(window)) + L"|" +
          CheckOf(window, className) + L"|" + std::to_wstring(place.left) + L"," +
          std::to_wstring(place.top) + L"," + std::to_wstring(place.right - place.left) + L"," +
          std::to_wstring(place.bottom - place.top) + L"|" + TextOf(window));
}

BOOL CALLBACK EachControl(HWND window, LPARAM) {
    if (::IsWindowVisible(window)) {
        Describe(window);
    }
    return TRUE;
}

BOOL CALLBACK EachWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param); // NOLINT
    if (!::IsWindowVisible(window)) {
        return TRUE;
    }
    const std::wstring title = TextOf(window);
    if (title.rfind(search->title, 0) != 0) {
        return TRUE;
    }
    search->found = true;
    Describe(window);
    ::EnumChildWindows(window, EachControl, 0);
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        Write(L"usage: tovrin_dialog_probe TITLE");
        return 2;
    }
    Search search{argv[1]};
    ::EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&search)); // NOLINT
    return search.found ? 0 : 1;
}
