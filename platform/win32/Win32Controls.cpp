#include "platform/win32/Win32Controls.h"

#include "platform/SecureWipe.h"
#include "platform/windows/WideText.h"
#include "window/CountBoxTip.h"
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
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32TextBox::supplyTip(NMTTDISPINFOW &info) const
{
    info.hinst = nullptr;
    info.lpszText = const_cast<wchar_t *>(m_tip.c_str());
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
    m_tip = widen(countBoxTip(description));
    // Screen readers that follow the box hear the new strength.
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, m_edit, OBJID_CLIENT, CHILDID_SELF);
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
        wchar_t row[kListRowCharacters];
        const int length = rowText(item.itemID, row);
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

int Win32ListBox::rowText(std::int64_t index, wchar_t (&row)[kListRowCharacters]) const
{
    // A row shows an item's beginning.
    const std::string_view text = m_items.item(index);
    return MultiByteToWideChar(CP_UTF8, 0, text.data(),
                               static_cast<int>(std::min<std::size_t>(text.size(), kListRowCharacters)), row,
                               kListRowCharacters);
}

void Win32WakeUp::wakeAt(Clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - now()).count();
    m_armed = true;
    SetTimer(m_owner, m_id, static_cast<UINT>(std::clamp<std::int64_t>(left, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM)),
             nullptr);
}

void Win32WakeUp::cancel()
{
    m_armed = false;
    KillTimer(m_owner, m_id);
}

void Win32WakeUp::onTimer()
{
    KillTimer(m_owner, m_id); // one shot
    if (!m_armed)
        return;
    m_armed = false;
    if (Wake)
        Wake();
}

} // namespace velkrin::win32
