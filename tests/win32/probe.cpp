// probe password|count|alert|maximize: the running Velkrin.exe read for the e2e scenarios by
// window messages (Wine answers no accessibility calls across processes); 1: no window.

#include "window/Form1Layout.h"

#include <windows.h>

#include <cstdio>
#include <string_view>
#include <utility>

namespace {

// Form1Window numbers its controls 100 + their row in the layout.
HWND control(HWND window, std::string_view name)
{
    std::size_t row = 0;
    while (row < velkrin::kForm1Layout.size() && velkrin::kForm1Layout[row].name != name)
        ++row;
    std::pair<int, HWND> search{100 + static_cast<int>(row), nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) {
            auto &s = *reinterpret_cast<std::pair<int, HWND> *>(data);
            s.second = GetDlgCtrlID(child) == s.first ? child : nullptr;
            return s.second ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

void printText(HWND window)
{
    wchar_t text[40000] = L"";
    GetWindowTextW(window, text, 40000);
    static char utf8[120000];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
}

} // namespace

int main(int argc, char **argv)
{
    const std::string_view command = argc == 2 ? argv[1] : "";
    HWND window = FindWindowW(L"VelkrinForm1", L"Velkrin");
    HWND box = nullptr; // a message box: a dialog the window owns
    while ((box = FindWindowExW(nullptr, box, L"#32770", L"Velkrin")) && GetWindow(box, GW_OWNER) != window) {
    }
    if (!window || (command == "alert" && !box))
        return 1;
    if (command == "password")
        printText(control(window, "lblPassword"));
    else if (command == "count")
        std::printf("%ld\n", static_cast<long>(SendMessageW(control(window, "List1"), LB_GETCOUNT, 0, 0)));
    else if (command == "alert")
        printText(GetDlgItem(box, 0xFFFF)); // the box's text (its icon has no text)
    else if (command == "maximize") {
        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0); // as the title bar asks
        ShowWindow(window, SW_MAXIMIZE);                     // as another program may
    } else
        return 2;
    return 0;
}
