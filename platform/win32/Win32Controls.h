#pragma once

#include "platform/Controls.h"
#include "window/PackedStringList.h"
#include "platform/WakeUpPort.h"
#include "window/Form1Layout.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace velkrin::win32 {

// The portable controls over native Win32 controls. Each wraps one child
// window that Form1Window creates from the layout table; the window routes
// the notifications (WM_COMMAND, WM_TIMER, WM_DRAWITEM) to them.

class Win32TextBox final : public TextBox {
public:
    void attach(HWND edit, HWND tooltip);
    std::string text() const override;
    void setText(std::string_view text) override; // EN_CHANGE raises Change
    bool hasFocus() const override;
    void setDescription(std::string_view description) override;
    void changed() { if (Change) Change(); }
    // What a screen reader is told the box does (the strength, kept current).
    const std::wstring &description() const noexcept { return m_description; }
    // TTN_GETDISPINFO for this box's tooltip: the text is asked for as the
    // tip opens, in the short form a tooltip shows.
    void supplyTip(NMTTDISPINFOW &info) const;
    HWND handle() const noexcept { return m_edit; }

private:
    HWND m_edit = nullptr;
    HWND m_tooltip = nullptr;
    std::wstring m_description;
    std::wstring m_tip;
};

class Win32Label final : public Label {
public:
    ~Win32Label() override;
    void attach(HWND label) { m_label = label; }
    std::string caption() const override { return m_caption; }
    void setCaption(std::string_view caption) override;
    void refresh() override;

private:
    HWND m_label = nullptr;
    std::string m_caption; // may be the current password: wiped when replaced
};

class Win32CheckBox final : public CheckBox {
public:
    void attach(HWND box) { m_box = box; }
    std::int16_t value() const override;
    void changed() { if (Change) Change(); }

private:
    HWND m_box = nullptr;
};

// An owner-data list box (LBS_NODATA): Windows keeps only the item count and
// asks for each visible row as it draws, so the passwords live in one wiped
// store and nowhere else.
class Win32ListBox final : public ListBox {
public:
    void attach(HWND list) { m_list = list; }
    void addItem(std::string_view item) override;
    std::int64_t listCount() const override { return m_items.count(); }
    std::string_view item(std::int64_t index) const override { return m_items.item(index); }
    void draw(const DRAWITEMSTRUCT &item) const;
    // The text row `index` shows (an item's beginning) into `row`; its length.
    int rowText(std::int64_t index, wchar_t (&row)[kListRowCharacters]) const;
    // The item under the caret (the selected one), or -1.
    std::int64_t currentIndex() const;
    HWND handle() const noexcept { return m_list; }

private:
    HWND m_list = nullptr;
    PackedStringList m_items;
};

// The one-shot wake-up over SetTimer on the window's message queue. SetTimer
// counts in whole milliseconds and rounds up to the system's timer
// resolution (about 15.6 ms), so a wake-up comes that much late at most.
class Win32WakeUp final : public WakeUpPort {
public:
    void attach(HWND owner, UINT_PTR id)
    {
        m_owner = owner;
        m_id = id;
    }
    void wakeAt(Clock::time_point when) override;
    void cancel() override;
    // WM_TIMER for this wake-up's id.
    void onTimer();

private:
    HWND m_owner = nullptr;
    UINT_PTR m_id = 0;
    // KillTimer leaves a WM_TIMER already posted in the queue: one that
    // comes after cancel() is dropped.
    bool m_armed = false;
};

class Win32PushButton final : public PushButton {
public:
    void pressed() { if (Press) Press(); }
};

} // namespace velkrin::win32
