#pragma once

#include <array>
#include <string_view>

namespace velkrin {

// The main window as it was drawn: one table that every host creates its
// controls from. Positions and sizes are in twips (1/1440 inch); 15 twips
// make one pixel at 96 dpi. A control inside a frame is placed relative to
// the frame's top-left corner.

enum class ControlKind { Timer, Frame, PushButton, ListBox, CommandButton, CheckBox, TextBox, Label };

// MS Sans Serif at 8.25 or 9.75 points; a host without it stands in another
// sans serif at the same sizes.
struct ControlFont {
    double points;
    bool bold;
};
inline constexpr ControlFont kWindowFont{8.25, false};
inline constexpr ControlFont kLargeFont{9.75, false};
inline constexpr ControlFont kLargeBoldFont{9.75, true};
inline constexpr ControlFont kBoldFont{8.25, true};

struct ControlPlacement {
    std::string_view name;
    ControlKind kind;
    std::string_view parent; // the frame it stands in; empty: the window
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1: the timer
    std::string_view caption;
    ControlFont font;
    bool centred;  // caption centred (labels)
    bool bordered; // single-line border, window colours (lblPassword)
    // What a screen reader calls the control, and what it says the control
    // does; empty where the caption says it.
    std::string_view accessibleName;
    std::string_view accessibleDescription;
};

inline constexpr std::string_view kForm1Title = "Velkrin";
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 3270;  // 218 pixels
inline constexpr int kClientHeightTwips = 7245; // 483 pixels
inline constexpr int kTimer1IntervalMs = 100;
// The most characters a count box takes, a plain Windows edit box's default:
// a count never needs more, and a long paste beyond it would keep the window
// busy for minutes.
inline constexpr int kTextBoxMaxLength = 32767;

// How much of an item a row of List1 shows: more characters than the list's
// width holds, and few enough that drawing a row of an item of tens of
// thousands of characters takes no longer than a batch tick.
inline constexpr int kListRowCharacters = 256;

// Labels, frames and the timer take no focus; every other control does.
constexpr bool takesFocus(ControlKind kind) noexcept
{
    return kind != ControlKind::Timer && kind != ControlKind::Frame && kind != ControlKind::Label;
}

// In the order the window stores them, which is also the stacking order of
// siblings. The tab order runs by tabIndex over the controls that take the
// focus; the focus starts on the first of them, cmdCreate. LayoutResolver
// turns the table into pixels.
inline constexpr std::array<ControlPlacement, 20> kForm1Layout{{
    // clang-format off
    //  name          kind                       parent    left   top  width height tab caption                            font            centred bordered
    {"Timer1",      ControlKind::Timer,         "",          0,    0,     0,    0, -1, "",                                kWindowFont,    false, false, "", ""},
    {"Frame3",      ControlKind::Frame,         "",          0, 5880,  3255, 1335, 15, "",                                kWindowFont,    false, false, "", ""},
    {"XPButton3",   ControlKind::PushButton,    "Frame3",  720,  840,  1575,  375, 18, "Save",                            kWindowFont,    false, false, "Save",
        "Writes the list to target.txt in the program's folder"},
    {"XPButton2",   ControlKind::PushButton,    "Frame3", 1680,  240,  1455,  375, 17, "Stop",                            kWindowFont,    false, false, "Stop",
        "Stops adding passwords to the list"},
    {"XPButton1",   ControlKind::PushButton,    "Frame3",  120,  240,  1335,  375, 16, "Generate",                        kWindowFont,    false, false, "Generate",
        "Adds ten new passwords a second to the list"},
    {"Frame2",      ControlKind::Frame,         "",          0,  960,  3255, 4935, 13, "",                                kWindowFont,    false, false, "", ""},
    {"List1",       ControlKind::ListBox,       "Frame2",    0,  120,  3255, 4740, 14, "",                                kWindowFont,    false, false, "Generated passwords", ""},
    {"cmdPrint",    ControlKind::CommandButton, "",       5880, 2640,   855,  375, 11, "&Print",                          kWindowFont,    false, false, "Print password", ""},
    {"cmdCreate",   ControlKind::CommandButton, "",       4080,  360,   975,  375,  0, "&Create",                         kWindowFont,    false, false, "Create password", ""},
    // The title's leading spaces would be read out as well.
    {"Frame1",      ControlKind::Frame,         "",          0,  120,  3255,  855,  1, "           Target Length",        kLargeBoldFont, false, false, "Target length", ""},
    {"Check1",      ControlKind::CheckBox,      "Frame1",  720, 1080,   255,  255,  8, "",                                kWindowFont,    false, false, "Mixed upper and lower case", ""},
    {"txtNumbers",  ControlKind::TextBox,       "Frame1", 1800,  360,   495,  285,  3, "",                                kWindowFont,    false, false, "Number of digits", ""},
    {"txtLetters",  ControlKind::TextBox,       "Frame1",  240,  360,   495,  285,  2, "",                                kWindowFont,    false, false, "Number of letters", ""},
    {"Label5",      ControlKind::Label,         "Frame1",  840, 1320,  1695,  255, 12, "(upper and lower case)",          kWindowFont,    false, false, "", ""},
    {"Label4",      ControlKind::Label,         "Frame1",  240,  840,  2775,  255, 10, "OR",                              kBoldFont,      true,  false, "", ""},
    // The two labels' text is what they say, so it stays their name; what
    // they are goes into the description.
    {"lblRandom",   ControlKind::Label,         "Frame1",  960, 1080,  2055,  255,  9, "",                                kWindowFont,    false, false, "", "Total length"},
    {"Label3",      ControlKind::Label,         "Frame1", 1440,  360,   375,  255,  7, "+",                               kBoldFont,      true,  false, "", ""},
    {"Label2",      ControlKind::Label,         "Frame1", 2400,  360,   735,  255,  5, "Numbers",                         kWindowFont,    false, false, "", ""},
    {"Label1",      ControlKind::Label,         "Frame1",  840,  360,   615,  255,  4, "Letters",                         kWindowFont,    false, false, "", ""},
    {"lblPassword", ControlKind::Label,         "",       4560, 1440,  3255,  375,  6, "",                                kLargeFont,     true,  true,  "", "Current password"},
    // clang-format on
}};

} // namespace velkrin
