#include "platform/win32/Win32Controls.h"

#include "platform/SecureWipe.h"
#include "platform/win32/WideText.h"
#include "window/Form1Layout.h"

#include <commctrl.h>

#include <algorithm>

namespace velkrin::win32 {

namespace {

// A wide copy of text that may be a password, wiped when it goes.
struct WipedWide {
    std::wstring text;
    ~WipedWide() { secureWipe(text.data(), text.size() * sizeof(wchar_t)); }
};

std::string windowText(HWND window)
{
    WipedWide wide;
    wide.text.resize(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1);
    const int length = GetWindowTextW(window, wide.text.data(), static_cast<int>(wide.text.size()));
    wide.text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return narrow(wide.text);
}

} // namespace

void Win32TextBox::attach(HWND edit, HWND tooltip)
{
    m_edit = edit;
    m_tooltip = tooltip;
    if (!m_tooltip)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(edit);
    tool.uId = reinterpret_cast<UINT_PTR>(edit);
    tool.lpszText = const_cast<wchar_t *>(L"");
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string Win32TextBox::text() const
{
    return windowText(m_edit);
}

void Win32TextBox::setText(std::string_view text)
{
    SetWindowTextW(m_edit, widen(text).c_str());
}

bool Win32TextBox::hasFocus() const
{
    return GetFocus() == m_edit;
}

void Win32TextBox::setDescription(std::string_view description)
{
    m_description = widen(description);
    if (!m_tooltip)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(m_edit);
    tool.uId = reinterpret_cast<UINT_PTR>(m_edit);
    tool.lpszText = m_description.data();
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

Win32Label::~Win32Label()
{
    secureWipe(m_caption.data(), m_caption.size());
}

void Win32Label::setCaption(std::string_view caption)
{
    secureWipe(m_caption.data(), m_caption.size());
    m_caption.assign(caption);
    WipedWide wide{widen(caption)};
    SetWindowTextW(m_label, wide.text.c_str());
}

void Win32Label::refresh()
{
    RedrawWindow(m_label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

std::int16_t Win32CheckBox::value() const
{
    switch (SendMessageW(m_box, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        return kChecked;
    case BST_INDETERMINATE:
        return kGrayed;
    default:
        return kClear;
    }
}

void Win32ListBox::addItem(std::string_view item)
{
    m_items.append(item);
    // A no-data list takes the new count only; the text stays in m_items.
    SendMessageW(m_list, LB_ADDSTRING, 0, 0);
}

std::int64_t Win32ListBox::currentIndex() const
{
    const LRESULT selected = SendMessageW(m_list, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<std::int64_t>(selected);
}

void Win32ListBox::draw(const DRAWITEMSTRUCT &item) const
{
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1) && static_cast<std::int64_t>(item.itemID) < m_items.count()) {
        // A row shows an item's beginning.
        const std::string_view text = m_items.item(item.itemID);
        wchar_t row[kListRowCharacters];
        const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(),
                                               static_cast<int>(std::min<std::size_t>(text.size(), kListRowCharacters)),
                                               row, kListRowCharacters);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT box = item.rcItem;
        box.left += 2;
        DrawTextW(item.hDC, row, length, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        secureWipe(row, sizeof row);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

std::int64_t Win32Timer::nowTicks() const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Win32Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled) {
        KillTimer(m_owner, m_id);
        return;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const std::int64_t now = nowTicks();
    m_deadline = now + frequency.QuadPart * kIntervalMs / 1000;
    schedule(now);
}

void Win32Timer::schedule(std::int64_t now)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const std::int64_t left = (m_deadline - now) * 1000 / frequency.QuadPart;
    // USER_TIMER_MINIMUM is 10 ms; a deadline already passed fires at once.
    SetTimer(m_owner, m_id, static_cast<UINT>(std::clamp<std::int64_t>(left, USER_TIMER_MINIMUM, kIntervalMs)),
             nullptr);
}

void Win32Timer::onTimer()
{
    if (!m_enabled) {
        KillTimer(m_owner, m_id);
        return;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const std::int64_t interval = frequency.QuadPart * kIntervalMs / 1000;
    std::int64_t now = nowTicks();
    if (now < m_deadline - interval / 50) { // woken early (more than 2 ms): wait on
        schedule(now);
        return;
    }
    // Behind by more than a whole interval (a modal loop, a slow tick):
    // start counting afresh rather than make up the lost ticks in a burst.
    m_deadline = now - m_deadline > interval ? now + interval : m_deadline + interval;
    if (Tick)
        Tick();
    // The tick may have stopped the timer (Stop, an error).
    if (m_enabled)
        schedule(nowTicks());
}

} // namespace velkrin::win32
