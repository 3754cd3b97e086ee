// What the end-to-end scenarios ask of a running Velkrin.exe under Wine, by
// plain window messages (Wine answers no cross-process accessibility calls):
//   probe password   the current password (lblPassword's text)
//   probe count      how many passwords the list holds
//   probe alert      the text of the open message box titled "Velkrin"
//   probe maximize   asks the window to maximise, as its title bar and
//                    another program would
// Exit status 1 when the window (or the box) is not there.

#include "window/Form1Layout.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Form1Window numbers its controls 100 + their row in the layout.
HWND control(HWND window, std::string_view name)
{
    struct Search {
        int id;
        HWND found;
    } search{-1, nullptr};
    for (std::size_t row = 0; row < velkrin::kForm1Layout.size(); ++row)
        if (velkrin::kForm1Layout[row].name == name)
            search.id = 100 + static_cast<int>(row);
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) {
            auto &s = *reinterpret_cast<Search *>(data);
            if (GetDlgCtrlID(child) == s.id)
                s.found = child;
            return s.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string text(HWND window)
{
    std::wstring wide(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    wide.resize(
        static_cast<std::size_t>(SendMessageW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()))));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                     utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string_view command = argc == 2 ? argv[1] : "";
    HWND window = FindWindowW(L"VelkrinForm1", L"Velkrin");
    if (!window)
        return 1;
    if (command == "password" || command == "count") {
        HWND shown = control(window, command == "password" ? "lblPassword" : "List1");
        if (!shown)
            return 1;
        if (command == "password")
            std::printf("%s\n", text(shown).c_str());
        else
            std::printf("%ld\n", static_cast<long>(SendMessageW(shown, LB_GETCOUNT, 0, 0)));
    } else if (command == "alert") {
        // A message box is a dialog the window owns; its text is a static control.
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", L"Velkrin")) && GetWindow(box, GW_OWNER) != window) {
        }
        if (!box)
            return 1;
        std::string said;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t kind[16];
            if (GetClassNameW(child, kind, 16) && std::wstring_view(kind) == L"Static" && GetWindowTextLengthW(child))
                said += (said.empty() ? "" : " ") + text(child);
        }
        std::printf("%s\n", said.c_str());
    } else if (command == "maximize") {
        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ShowWindow(window, SW_MAXIMIZE);
    } else {
        std::fputs("usage: probe password|count|alert|maximize\n", stderr);
        return 2;
    }
    return 0;
}
