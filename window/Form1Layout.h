#pragma once

#include <array>

namespace velkrin {

class Form1;

// Where each control stands, in twips (1/1440 inch) as the window was drawn;
// 15 twips make one device-independent pixel. Children of a frame are placed
// relative to the frame.
struct ControlPlacement {
    const char *name;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 3270;
inline constexpr int kClientHeightTwips = 7245;

inline constexpr std::array<ControlPlacement, 19> kForm1Layout{{
    // name           left   top  width height tab
    // clang-format off
    {"Frame3",           0, 5880, 3255, 1335, 15},
    {"XPButton3",      720,  840, 1575,  375, 18},
    {"XPButton2",     1680,  240, 1455,  375, 17},
    {"XPButton1",      120,  240, 1335,  375, 16},
    {"Frame2",           0,  960, 3255, 4935, 13},
    {"List1",            0,  120, 3255, 4740, 14},
    {"cmdPrint",      5880, 2640,  855,  375, 11},
    {"cmdCreate",     4080,  360,  975,  375,  0},
    {"Frame1",           0,  120, 3255,  855,  1},
    {"Check1",         720, 1080,  255,  255,  8},
    {"txtNumbers",    1800,  360,  495,  285,  3},
    {"txtLetters",     240,  360,  495,  285,  2},
    {"Label5",         840, 1320, 1695,  255, 12},
    {"Label4",         240,  840, 2775,  255, 10},
    {"lblRandom",      960, 1080, 2055,  255,  9},
    {"Label3",        1440,  360,  375,  255,  7},
    {"Label2",        2400,  360,  735,  255,  5},
    {"Label1",         840,  360,  615,  255,  4},
    {"lblPassword",   4560, 1440, 3255,  375,  6},
    // clang-format on
}};

// Places, sizes and styles every control, fixes the window's size and sets
// the tab order and the initial focus.
void applyForm1Layout(Form1 &form);

} // namespace velkrin
