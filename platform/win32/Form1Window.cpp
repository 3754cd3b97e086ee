#include "platform/win32/Form1Window.h"

#include "platform/win32/WideText.h"
#include "window/Form1Layout.h"
#include "window/UserMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace velkrin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VelkrinForm1";
constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kClipboardTimerId = 2;
constexpr int kFirstControlId = 100; // + layout row
// Fixed single border: a caption with a system menu, nothing to resize,
// minimise or maximise.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

int rowOf(std::string_view name)
{
    for (std::size_t row = 0; row < kForm1Layout.size(); ++row)
        if (kForm1Layout[row].name == name)
            return static_cast<int>(row);
    throw std::logic_error("no control of that name in the layout");
}

} // namespace

Form1Window::Form1Window(HINSTANCE instance) : m_instance(instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    const std::wstring title = widen(kForm1Title);
    m_window = CreateWindowExW(0, kClassName, title.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                               nullptr, nullptr, instance, this);
    if (!m_window)
        throw std::runtime_error("the window could not be created: " + systemMessage(GetLastError()));
    // The system's DPI (the process is system-DPI aware), asked in a way
    // Windows 7 knows too.
    HDC screen = GetDC(nullptr);
    m_dpi = static_cast<UINT>(std::max(GetDeviceCaps(screen, LOGPIXELSY), 1));
    ReleaseDC(nullptr, screen);
    RECT frame{0, 0, pixels(kClientWidthTwips), pixels(kClientHeightTwips)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_tickWakeUp.attach(m_window, kTimer1Id);
    m_clearWakeUp.attach(m_window, kClipboardTimerId);
    m_clipboard = std::make_unique<SecretClipboard>(m_window);
    m_secretCopy = std::make_unique<SecretCopy>(*m_clipboard, m_clearWakeUp);
    createControls();
}

Form1Window::~Form1Window()
{
    m_secretCopy.reset(); // clears our copy while the window still exists
    if (m_window)
        DestroyWindow(m_window);
    for (HFONT f : m_fonts)
        if (f)
            DeleteObject(f);
}

int Form1Window::pixels(int twips) const
{
    return MulDiv(twips, static_cast<int>(m_dpi), 1440);
}

HFONT Form1Window::font(double points, bool bold)
{
    const std::size_t slot = (points > 9 ? 2 : 0) + (bold ? 1 : 0);
    if (!m_fonts[slot]) {
        const int height = -static_cast<int>(std::lround(points * m_dpi / 72.0));
        // The system's MS Sans Serif (on Wine, fonts-wine's); GDI stands in
        // another sans serif at the same size where it is missing.
        m_fonts[slot] = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    VARIABLE_PITCH | FF_SWISS, L"MS Sans Serif");
    }
    return m_fonts[slot];
}

void Form1Window::createControls()
{
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, m_instance, nullptr);

    // Windows walks the tab order in creation order, so the controls are
    // made by tab index: frames before their contents, each frame's
    // contents in their own order.
    std::array<int, kForm1Layout.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [](int a, int b) {
        auto key = [](int row) {
            const ControlPlacement &c = kForm1Layout[static_cast<std::size_t>(row)];
            const int parentTab = c.parent.empty() ? c.tabIndex : kForm1Layout[static_cast<std::size_t>(rowOf(c.parent))].tabIndex;
            return std::pair(parentTab, c.parent.empty() ? -1 : c.tabIndex);
        };
        return key(a) < key(b);
    });

    for (const int row : order) {
        const ControlPlacement &c = kForm1Layout[static_cast<std::size_t>(row)];
        if (c.kind == ControlKind::Timer)
            continue;
        HWND parent = c.parent.empty() ? m_window : m_controls[static_cast<std::size_t>(rowOf(c.parent))];
        const wchar_t *windowClass = L"BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD extended = 0;
        switch (c.kind) {
        case ControlKind::Frame:
            style |= BS_GROUPBOX | WS_CLIPCHILDREN;
            extended = WS_EX_CONTROLPARENT; // Tab goes into it
            break;
        case ControlKind::PushButton:
        case ControlKind::CommandButton:
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::CheckBox:
            style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case ControlKind::TextBox:
            windowClass = L"EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            extended = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::ListBox:
            windowClass = L"LISTBOX";
            style |= LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT |
                     WS_VSCROLL | WS_TABSTOP;
            extended = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Label:
            windowClass = L"STATIC";
            style |= SS_NOPREFIX | (c.centred ? SS_CENTER : SS_LEFT) | (c.bordered ? WS_BORDER : 0);
            break;
        case ControlKind::Timer:
            break;
        }
        const std::wstring caption = widen(c.caption);
        HWND control = CreateWindowExW(extended, windowClass, caption.c_str(), style, pixels(c.left), pixels(c.top),
                                       pixels(c.width), pixels(c.height), parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row)),
                                       m_instance, nullptr);
        if (!control)
            throw std::runtime_error("a control could not be created: " + systemMessage(GetLastError()));
        m_controls[static_cast<std::size_t>(row)] = control;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(c.font.points, c.font.bold)), FALSE);
        if (c.kind == ControlKind::Frame)
            SetWindowSubclass(control, frameProc, 0, reinterpret_cast<DWORD_PTR>(this));
        if (c.kind == ControlKind::ListBox) {
            HDC dc = GetDC(control);
            SelectObject(dc, font(c.font.points, c.font.bold));
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            ReleaseDC(control, dc);
            SendMessageW(control, LB_SETITEMHEIGHT, 0, metrics.tmHeight);
        }
    }

    auto hwnd = [this](std::string_view name) { return m_controls[static_cast<std::size_t>(rowOf(name))]; };
    List1.attach(hwnd("List1"));
    Check1.attach(hwnd("Check1"));
    txtNumbers.attach(hwnd("txtNumbers"), m_tooltip);
    txtLetters.attach(hwnd("txtLetters"), m_tooltip);
    lblRandom.attach(hwnd("lblRandom"));
    lblPassword.attach(hwnd("lblPassword"));
    // Count boxes take any text; the count is read from all of it.
    for (const char *box : {"txtLetters", "txtNumbers"})
        SendMessageW(hwnd(box), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
}

int Form1Window::run(int show)
{
    // Centred on the work area of the screen the window opens on.
    RECT frame;
    GetWindowRect(m_window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(m_window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(m_window, show == SW_SHOWMINIMIZED || show == SW_MINIMIZE ? SW_SHOWNORMAL : show);
    m_focus = m_controls[static_cast<std::size_t>(rowOf("cmdCreate"))];
    SetFocus(m_focus);
    UpdateWindow(m_window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab, the arrow keys and the access keys, as in a dialog.
        if (IsDialogMessageW(m_window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void Form1Window::showWarning(std::string_view message)
{
    const std::wstring title = widen(kMessageTitle);
    MessageBoxW(m_window, widen(message).c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

void Form1Window::copyCurrentItem()
{
    const std::int64_t index = List1.currentIndex();
    if (index < 0 || index >= List1.listCount())
        return;
    m_secretCopy->copy(List1.item(index));
}

LRESULT CALLBACK Form1Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<Form1Window *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
    }
    auto *self = reinterpret_cast<Form1Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

// A frame hands its controls' notifications on to the window, as a
// container of the window's own would.
LRESULT CALLBACK Form1Window::frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self)
{
    switch (message) {
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_VKEYTOITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_NOTIFY:
        return SendMessageW(reinterpret_cast<Form1Window *>(self)->m_window, message, wParam, lParam);
    case WM_ERASEBKGND: {
        // A group box paints only its line and title; the inside is ours.
        RECT inside;
        GetClientRect(frame, &inside);
        FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    default:
        return DefSubclassProc(frame, message, wParam, lParam);
    }
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int row = LOWORD(wParam) - kFirstControlId;
        if (row < 0 || row >= static_cast<int>(kForm1Layout.size()) || lParam == 0)
            return 0; // Enter and Esc (IDOK, IDCANCEL): no default or cancel button
        const std::string_view name = kForm1Layout[static_cast<std::size_t>(row)].name;
        const WORD code = HIWORD(wParam);
        if (code == EN_CHANGE)
            (name == "txtLetters" ? txtLetters : txtNumbers).changed();
        else if (code == BN_CLICKED && name == "Check1")
            Check1.changed();
        else if (code == BN_CLICKED) {
            Win32PushButton *button = name == "cmdCreate" ? &cmdCreate
                                      : name == "cmdPrint" ? &cmdPrint
                                      : name == "XPButton1" ? &XPButton1
                                      : name == "XPButton2" ? &XPButton2
                                      : name == "XPButton3" ? &XPButton3
                                                            : nullptr;
            if (button)
                button->pressed();
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimer1Id)
            m_tickWakeUp.onTimer();
        else if (wParam == kClipboardTimerId)
            m_clearWakeUp.onTimer();
        return 0;
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item.hwndItem == List1.handle()) {
            List1.draw(item);
            return TRUE;
        }
        break;
    }
    case WM_VKEYTOITEM:
        if (reinterpret_cast<HWND>(lParam) == List1.handle() && LOWORD(wParam) == 'C' && GetKeyState(VK_CONTROL) < 0) {
            copyCurrentItem();
            return -2; // handled
        }
        return -1;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_controls[static_cast<std::size_t>(rowOf("lblPassword"))]) {
            // Window colours: back 0x80000005, text 0x80000008.
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            m_focus = GetFocus();
        } else if (m_focus && IsWindow(m_focus)) {
            SetFocus(m_focus);
            return 0;
        }
        break;
    case WM_CLOSE:
        m_secretCopy->close();
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        Timer1.setEnabled(false);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        m_window = nullptr;
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

} // namespace velkrin::win32
