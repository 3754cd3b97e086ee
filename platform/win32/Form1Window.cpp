#include "platform/win32/Form1Window.h"

#include "platform/win32/AccessibleList.h"
#include "platform/win32/CommonControls.h"
#include "platform/windows/WideText.h"
#include "window/UserMessages.h"

#include <commctrl.h>

#include <utility>

#include <algorithm>
#include <stdexcept>

namespace velkrin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VelkrinForm1";
constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kClipboardTimerId = 2;
constexpr int kFirstControlId = 100; // + layout row
// Posted when the window finds itself in a state the policy refuses: it is
// turned back once the change that put it there is done.
constexpr UINT kTurnBack = WM_APP + 1;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (kForm1Frame.resizable ? WS_THICKFRAME : 0) |
    (kForm1Frame.minimiseBox ? WS_MINIMIZEBOX : 0) | (kForm1Frame.maximiseBox ? WS_MAXIMIZEBOX : 0);

// Looked up at run time: Windows before 10 lacks the per-monitor DPI calls.
template <typename Function>
Function user32Function(const char *name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name))) : nullptr;
}

// The DPI of the monitor the window is on (the process is per-monitor
// aware); the system's for no window, or where Windows cannot tell.
int windowDpi(HWND window)
{
    static const auto getDpiForWindow = user32Function<UINT(WINAPI *)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = std::max(GetDeviceCaps(screen, LOGPIXELSY), 1);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A system metric at `dpi`.
int metricAt(int index, int dpi)
{
    static const auto forDpi = user32Function<int(WINAPI *)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

int CALLBACK noteFace(const LOGFONTW *, const TEXTMETRICW *, DWORD type, LPARAM found)
{
    *reinterpret_cast<bool *>(found) |= (type & TRUETYPE_FONTTYPE) != 0;
    return 1;
}

// A host decision, as only Windows knows its fonts: a TrueType face that
// takes every size the layout asks for (MS Sans Serif, a bitmap font, has a
// few): its successor where present, else the message boxes' own face.
std::wstring windowFace()
{
    constexpr wchar_t kSuccessor[] = L"Microsoft Sans Serif";
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::copy(std::begin(kSuccessor), std::end(kSuccessor), wanted.lfFaceName);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    if (found)
        return kSuccessor;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0])
        return metrics.lfMessageFont.lfFaceName;
    return L"MS Shell Dlg 2"; // the dialog font's name, which Windows maps to a TrueType face
}

WindowState stateOfShow(int show)
{
    switch (show) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        return WindowState::Minimised;
    case SW_SHOWMAXIMIZED:
        return WindowState::Maximised;
    default:
        return WindowState::Normal;
    }
}

KeyModifiers heldModifiers()
{
    return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

bool isButton(ControlKind kind)
{
    return kind == ControlKind::PushButton || kind == ControlKind::CommandButton;
}

} // namespace

Form1Window::Form1Window(HINSTANCE instance, std::chrono::milliseconds clipboardClearAfter)
    : m_instance(instance), m_face(windowFace()), m_layout(resolveLayout(windowDpi(nullptr)))
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
        throw std::runtime_error(windowNotMadeReason(false, systemMessage(GetLastError())));
    m_layout = resolveLayout(windowDpi(m_window)); // the system's DPI until now
    const SIZE frame = frameSize();
    SetWindowPos(m_window, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_tickWakeUp.attach(m_window, kTimer1Id);
    m_clearWakeUp.attach(m_window, kClipboardTimerId);
    m_clipboard = std::make_unique<SecretClipboard>(m_window);
    m_secretCopy = std::make_unique<SecretCopy>(*m_clipboard, m_clearWakeUp, clipboardClearAfter);
    createControls();
    makeAccessible(clipboardClearAfter);
}

Form1Window::~Form1Window()
{
    m_secretCopy.reset(); // clears our copy while the window still exists
    if (m_window)
        DestroyWindow(m_window);
    for (const CachedFont &f : m_fonts)
        DeleteObject(f.handle);
}

SIZE Form1Window::frameSize() const
{
    // The title bar and border at the window's DPI, which may not be the
    // system's.
    static const auto adjustForDpi =
        user32Function<BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, m_layout.clientWidth, m_layout.clientHeight};
    if (!adjustForDpi || !adjustForDpi(&frame, kWindowStyle, FALSE, 0, static_cast<UINT>(m_layout.dpi)))
        AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT Form1Window::font(int pixels, bool bold)
{
    for (const CachedFont &f : m_fonts)
        if (f.pixels == pixels && f.bold == bold)
            return f.handle;
    // A negative height is the em height.
    HFONT handle =
        CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                    CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH | FF_SWISS, m_face.c_str());
    m_fonts.push_back({pixels, bold, handle});
    return handle;
}

void Form1Window::createControls()
{
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, m_instance, nullptr);

    // Windows walks the tab order in creation order.
    for (const std::size_t row : m_layout.creationOrder) {
        const ResolvedControl &resolved = m_layout.controls[row];
        const ControlPlacement &c = *resolved.design;
        if (c.kind == ControlKind::Timer)
            continue;
        HWND parent = c.parent.empty() ? m_window : m_controls[m_layout.row(c.parent)];
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
        const PixelRect &rect = resolved.rect;
        HWND control = CreateWindowExW(
            extended, windowClass, caption.c_str(), style, rect.left, rect.top, rect.width, rect.height, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row)), m_instance, nullptr);
        if (!control)
            throw std::runtime_error(windowNotMadeReason(true, systemMessage(GetLastError())));
        m_controls[row] = control;
        if (resolved.maxLength > 0)
            SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(resolved.maxLength), 0);
        if (c.kind == ControlKind::Frame &&
            !setWindowSubclass(control, frameProc, 0, reinterpret_cast<DWORD_PTR>(this)))
            throw std::runtime_error(windowNotMadeReason(true, systemMessage(GetLastError())));
    }
    applyLayout();

    auto hwnd = [this](std::string_view name) { return m_controls[m_layout.row(name)]; };
    List1.attach(hwnd("List1"));
    Check1.attach(hwnd("Check1"));
    txtNumbers.attach(hwnd("txtNumbers"), m_tooltip);
    txtLetters.attach(hwnd("txtLetters"), m_tooltip);
    lblRandom.attach(hwnd("lblRandom"));
    lblPassword.attach(hwnd("lblPassword"));
}

void Form1Window::applyLayout()
{
    for (std::size_t row = 0; row < ResolvedLayout::kRows; ++row) {
        HWND control = m_controls[row];
        if (!control)
            continue; // the timer
        const ResolvedControl &resolved = m_layout.controls[row];
        const PixelRect &rect = resolved.rect;
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT controlFont = font(resolved.fontPixels, resolved.design->font.bold);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), FALSE);
        if (resolved.design->kind == ControlKind::ListBox) {
            HDC dc = GetDC(control);
            HGDIOBJ previous = SelectObject(dc, controlFont);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            SelectObject(dc, previous);
            ReleaseDC(control, dc);
            SendMessageW(control, LB_SETITEMHEIGHT, 0, metrics.tmHeight);
        }
        clipToFrame(row);
    }
}

void Form1Window::clipToFrame(std::size_t row)
{
    const ResolvedControl &c = m_layout.controls[row];
    if (c.design->parent.empty())
        return;
    const PixelRect &frame = m_layout[c.design->parent].rect;
    const PixelRect &r = c.rect;
    if (r.left >= 0 && r.top >= 0 && r.right() <= frame.width && r.bottom() <= frame.height) {
        SetWindowRgn(m_controls[row], nullptr, FALSE);
        return;
    }
    // Cut off inside the frame's border rather than on it. The border is the
    // group box's own drawing, a 3-D edge at the most, so its width is the
    // system's.
    const int edgeX = metricAt(SM_CXEDGE, m_layout.dpi);
    const int edgeY = metricAt(SM_CYEDGE, m_layout.dpi);
    // In the control's own coordinates; the window owns the region after.
    HRGN inside =
        CreateRectRgn(edgeX - r.left, edgeY - r.top, frame.width - edgeX - r.left, frame.height - edgeY - r.top);
    if (inside && !SetWindowRgn(m_controls[row], inside, FALSE))
        DeleteObject(inside);
}

void Form1Window::makeAccessible(std::chrono::milliseconds clipboardClearAfter)
{
    const auto fixed = [](std::string_view text) -> std::function<std::wstring()> {
        if (text.empty())
            return {}; // Windows' own: the caption
        return [wide = widen(text)] { return wide; };
    };
    m_listRows = std::shared_ptr<const Win32ListBox>(&List1, [](const Win32ListBox *) {}); // owned here
    for (std::size_t row = 0; row < kForm1Layout.size(); ++row) {
        if (!m_controls[row])
            continue;
        const ControlPlacement &c = kForm1Layout[row];
        auto text = std::make_shared<AccessibleText>();
        text->name = fixed(c.accessibleName);
        text->description = fixed(c.accessibleDescription);
        // The count boxes tell the strength as it is now; the list how a
        // row is copied, as its tooltip does on Linux.
        if (c.name == "txtLetters")
            text->description = [this] { return txtLetters.description(); };
        else if (c.name == "txtNumbers")
            text->description = [this] { return txtNumbers.description(); };
        else if (c.name == "List1")
            text->description = fixed(listCopyHint(clipboardClearAfter));
        m_accessibleText[row] = std::move(text);
        if (c.name == "List1")
            serveAccessibleList(m_controls[row], &m_accessibleText[row], &m_listRows);
        else
            serveAccessibleText(m_controls[row], &m_accessibleText[row]);
    }
    m_liveRegion = std::make_unique<LiveRegion>(m_window, m_instance);
}

void Form1Window::announce(std::string_view text)
{
    if (m_liveRegion)
        m_liveRegion->announce(text);
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
    // Shown in the state the policy permits for the one asked for. The first
    // ShowWindow follows a launcher's start-up state whatever it is told, so
    // a refused state that still comes is turned back (WM_SIZE) at once.
    const WindowState asked = stateOfShow(show);
    ShowWindow(m_window, permittedState(asked, true) == asked ? show : SW_SHOWNORMAL);
    m_opening = false;
    m_focus = m_controls[m_layout.initialFocus];
    SetFocus(m_focus);
    UpdateWindow(m_window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
            // The keypad's Enter is the extended Return; bit 30: held down.
            m_enterKey = (message.lParam & (1 << 24)) ? Key::Enter : Key::Return;
            m_enterRepeat = (message.lParam & (1 << 30)) != 0;
        } else if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
            m_enterKey = Key::Other;
        }
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

void Form1Window::press(std::size_t row)
{
    const std::string_view name = kForm1Layout[row].name;
    Win32PushButton *button = name == "cmdCreate"   ? &cmdCreate
                              : name == "cmdPrint"  ? &cmdPrint
                              : name == "XPButton1" ? &XPButton1
                              : name == "XPButton2" ? &XPButton2
                              : name == "XPButton3" ? &XPButton3
                                                    : nullptr;
    if (button)
        button->pressed();
}

void Form1Window::copyCurrentItem() noexcept
{
    // Reported here: the key's answer to the list must stay "handled".
    try {
        const std::int64_t index = List1.currentIndex();
        if (index < 0 || index >= List1.listCount())
            return;
        m_secretCopy->copy(List1.item(index));
    } catch (...) {
        reportFailure(std::current_exception());
    }
}

void Form1Window::reportFailure(std::exception_ptr failure) noexcept
{
    // As the window's own handlers report: batch mode stops first, one box at
    // a time (a box's own message loop may meet the fault again).
    const bool boxOpen = std::exchange(m_reporting, true);
    try {
        Timer1.setEnabled(false);
        if (!boxOpen)
            showWarning(failureMessage(failure));
    } catch (...) {
        // Not even the box could be had (no memory): the program goes on.
    }
    m_reporting = boxOpen;
}

LRESULT CALLBACK Form1Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<Form1Window *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_window = window;
    }
    auto *self = reinterpret_cast<Form1Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind into user32, which called us and cannot pass it on:
    // whatever a handler did not report itself is reported here.
    try {
        return self->handle(message, wParam, lParam);
    } catch (...) {
        self->reportFailure(std::current_exception());
        return 0;
    }
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
        return defSubclassProc(frame, message, wParam, lParam);
    }
}

LRESULT Form1Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
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
    case WM_NOTIFY: {
        // A count box's tooltip asks for its text as it opens.
        auto &info = *reinterpret_cast<NMTTDISPINFOW *>(lParam);
        if (info.hdr.code == TTN_GETDISPINFOW && info.hdr.hwndFrom == m_tooltip) {
            const HWND box = reinterpret_cast<HWND>(info.hdr.idFrom);
            if (box == txtLetters.handle())
                txtLetters.supplyTip(info);
            else if (box == txtNumbers.handle())
                txtNumbers.supplyTip(info);
            return 0;
        }
        break;
    }
    case WM_VKEYTOITEM:
        if (reinterpret_cast<HWND>(lParam) == List1.handle() &&
            copiesListRow(LOWORD(wParam) == 'C'         ? CopyKey::C
                          : LOWORD(wParam) == VK_INSERT ? CopyKey::Insert
                                                        : CopyKey::Other,
                          heldModifiers())) {
            copyCurrentItem();
            return -2; // handled
        }
        return -1;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_controls[m_layout.row("lblPassword")]) {
            // Window colours: back 0x80000005, text 0x80000008.
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale, or the scale changed: laid
        // out afresh at the new DPI, in the rectangle Windows suggests.
        if (HIWORD(wParam) == 0)
            break;
        m_layout = resolveLayout(HIWORD(wParam));
        applyLayout();
        const RECT &suggested = *reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    case WM_SYSCOMMAND:
        // The system menu, Alt+Space and the title bar ask here; a refused
        // state is not entered at all.
        if (refusesSystemCommand(wParam & 0xFFF0))
            return 0;
        break;
    case WM_GETMINMAXINFO: {
        // ShowWindow(SW_MAXIMIZE) from elsewhere does not ask first: a
        // maximised window keeps its size and place until it is turned back.
        RECT now;
        GetWindowRect(m_window, &now);
        const SIZE frame = frameSize();
        auto &limits = *reinterpret_cast<MINMAXINFO *>(lParam);
        limits.ptMaxSize = {frame.cx, frame.cy};
        limits.ptMaxPosition = {now.left, now.top};
        if (!kForm1Frame.resizable)
            limits.ptMinTrackSize = limits.ptMaxTrackSize = limits.ptMaxSize;
        return 0;
    }
    case WM_SIZE: {
        const WindowState state = wParam == SIZE_MAXIMIZED   ? WindowState::Maximised
                                  : wParam == SIZE_MINIMIZED ? WindowState::Minimised
                                                             : WindowState::Normal;
        if (permittedState(state, m_opening) != state)
            PostMessageW(m_window, kTurnBack, state == WindowState::Minimised, 0);
        break;
    }
    case kTurnBack:
        if (IsZoomed(m_window) || (wParam && IsIconic(m_window)))
            ShowWindow(m_window, SW_RESTORE);
        return 0;
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
    case WM_NCDESTROY: {
        // The last message: the window is let go of, and answered by itself.
        const HWND window = std::exchange(m_window, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Form1Window::onCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDOK && lParam == 0) {
        // Return or Enter, from IsDialogMessage: there is no default button,
        // so it presses the focused button if the policy says so.
        const int focused = GetDlgCtrlID(GetFocus()) - kFirstControlId;
        if (focused >= 0 && focused < static_cast<int>(kForm1Layout.size()) &&
            m_controls[static_cast<std::size_t>(focused)] == GetFocus() &&
            isButton(kForm1Layout[static_cast<std::size_t>(focused)].kind) &&
            pressesFocusedButton(m_enterKey, heldModifiers(), m_enterRepeat))
            press(static_cast<std::size_t>(focused));
        return;
    }
    const int row = LOWORD(wParam) - kFirstControlId;
    if (row < 0 || row >= static_cast<int>(kForm1Layout.size()) || lParam == 0)
        return; // Esc (IDCANCEL): no cancel button
    const std::string_view name = kForm1Layout[static_cast<std::size_t>(row)].name;
    const WORD code = HIWORD(wParam);
    if (code == EN_CHANGE)
        (name == "txtLetters" ? txtLetters : txtNumbers).changed();
    else if (code == BN_CLICKED && name == "Check1")
        Check1.changed();
    else if (code == BN_CLICKED)
        press(static_cast<std::size_t>(row));
}

bool Form1Window::refusesSystemCommand(WPARAM command) const
{
    switch (command) {
    case SC_MAXIMIZE:
        return permittedState(WindowState::Maximised, m_opening) != WindowState::Maximised;
    case SC_MINIMIZE:
        return permittedState(WindowState::Minimised, m_opening) != WindowState::Minimised;
    case SC_SIZE:
        return !kForm1Frame.resizable;
    default:
        return false;
    }
}

} // namespace velkrin::win32
