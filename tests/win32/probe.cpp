// probe password|count|alert|maximize|names|rows|listen: the running Velkrin.exe read for the
// e2e scenarios. password, count and alert read it by window messages; names, rows and listen ask
// what a screen reader asks, through Active Accessibility from this other process:
//   names   each control's layout name and accessible name, a line each; every control but an
//           untitled frame must have one
//   rows    the name of each of List1's rows, a line each; their number must be the list box's
//   listen  "ready", then the name of the object of the next live-region event (5 s at most)
// Exit status: 1 no window (or no message box), 2 unknown command, 3 the answers are wrong,
// 4 the question cannot be asked from another process here (the reason on standard output).

#include "window/Form1Layout.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Form1Window numbers its controls 100 + their row in the layout.
constexpr int kFirstControlId = 100;

HWND control(HWND window, std::string_view name)
{
    std::size_t row = 0;
    while (row < velkrin::kForm1Layout.size() && velkrin::kForm1Layout[row].name != name)
        ++row;
    std::pair<int, HWND> search{kFirstControlId + static_cast<int>(row), nullptr};
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

// __uuidof, not IID_IAccessible: MinGW's static link makes that symbol an
// import thunk's address.
IAccessible *accessible(HWND window)
{
    IAccessible *object = nullptr;
    if (!window || FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                     reinterpret_cast<void **>(&object))))
        return nullptr;
    return object;
}

VARIANT child(long id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string utf8(BSTR text)
{
    std::string out;
    if (!text)
        return out;
    const int wide = static_cast<int>(SysStringLen(text));
    out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text, wide, nullptr, 0, nullptr, nullptr)));
    WideCharToMultiByte(CP_UTF8, 0, text, wide, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    SysFreeString(text);
    return out;
}

std::string nameOf(IAccessible *object, long id = CHILDID_SELF)
{
    BSTR name = nullptr;
    return object && object->get_accName(child(id), &name) == S_OK ? utf8(name) : std::string();
}

// Whether our objects (the list's, say) can be asked for from this process; if not,
// why, on standard output. Wine's oleacc takes the object's marshalled
// reference out of the server by opening it for PROCESS_DUP_HANDLE, which
// Velkrin.exe's access list refuses to its user's other programs. (Windows
// gives screen readers with UIAccess a way round: GetProcessHandleFromHwnd.)
bool reachable(HWND window)
{
    IAccessible *object = accessible(window);
    if (object) {
        object->Release();
        return true;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (HANDLE handle = OpenProcess(PROCESS_DUP_HANDLE, FALSE, process)) {
        CloseHandle(handle);
        std::printf("AccessibleObjectFromWindow failed on Velkrin.exe's window\n");
    } else {
        std::printf("AccessibleObjectFromWindow needs PROCESS_DUP_HANDLE on Velkrin.exe here, and its access list "
                    "refuses it (OpenProcess: error %lu)\n",
                    static_cast<unsigned long>(GetLastError()));
    }
    return false;
}

// The list's child count, checked against the list box's own; -1 when they differ.
long rowCount(HWND list, IAccessible *object)
{
    long count = -1;
    if (!object || FAILED(object->get_accChildCount(&count)))
        return -1;
    const LRESULT own = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count != own) {
        std::fprintf(stderr, "probe: the list has %ld children, its list box %ld items\n", count,
                     static_cast<long>(own));
        return -1;
    }
    return count;
}

bool heard = false;

void CALLBACK heardEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG id, DWORD, DWORD)
{
    if (heard)
        return;
    heard = true;
    IAccessible *source = nullptr;
    VARIANT which;
    VariantInit(&which);
    if (SUCCEEDED(AccessibleObjectFromEvent(window, object, id, &source, &which))) {
        std::printf("%s\n", nameOf(source, which.lVal).c_str());
        source->Release();
    }
    std::fflush(stdout);
}

int listen(DWORD process)
{
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                               heardEvent, process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (!heard && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    if (!heard)
        std::printf("no live-region event came from Velkrin.exe in 5 s\n");
    return heard ? 0 : 3;
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
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 0;
    if (command == "password") {
        printText(control(window, "lblPassword"));
    } else if (command == "count") {
        std::printf("%ld\n", static_cast<long>(SendMessageW(control(window, "List1"), LB_GETCOUNT, 0, 0)));
    } else if ((command == "rows" || command == "names" || command == "listen") &&
               !reachable(control(window, "List1"))) {
        status = 4;
    } else if (command == "rows") {
        const HWND list = control(window, "List1");
        IAccessible *object = accessible(list);
        const long count = rowCount(list, object);
        status = count < 0 ? 3 : 0;
        for (long row = 1; row <= count; ++row)
            std::printf("%s\n", nameOf(object, row).c_str());
        if (object)
            object->Release();
    } else if (command == "names") {
        for (const velkrin::ControlPlacement &c : velkrin::kForm1Layout) {
            if (c.kind == velkrin::ControlKind::Timer)
                continue;
            IAccessible *object = accessible(control(window, c.name));
            const std::string name = nameOf(object);
            std::printf("%.*s\t%s\n", static_cast<int>(c.name.size()), c.name.data(), name.c_str());
            const bool untitledFrame =
                c.kind == velkrin::ControlKind::Frame && c.caption.empty() && c.accessibleName.empty();
            if (name.empty() && !untitledFrame)
                status = 3;
            if (object)
                object->Release();
        }
    } else if (command == "listen") {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        status = listen(process);
    } else if (command == "alert")
        printText(GetDlgItem(box, 0xFFFF)); // the box's text (its icon has no text)
    else if (command == "maximize") {
        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0); // as the title bar asks
        ShowWindow(window, SW_MAXIMIZE);                     // as another program may
    } else
        status = 2;
    CoUninitialize();
    return status;
}
