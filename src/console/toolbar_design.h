#pragma once

#include <QString>
#include <QStringView>
#include <array>

// The main window's tool bar tblToolbar as designed: its nineteen entries from left to right with the
// state each button has when the window opens. The window builds its tool bar from this table.
namespace kestrova {

enum class ToolbarButtonStyle {
    Default,     // does not stay pressed
    Separator,   // a gap between buttons; no key, no caption, no picture
    ButtonGroup, // side-by-side group buttons: pressing one unpresses the others, a pressed one stays pressed
    Check,       // flips between pressed and unpressed at each click
};

struct ToolbarEntry {
    int Position; // 1 to 19, left to right
    QStringView Key;
    QStringView Caption;
    ToolbarButtonStyle Style;
    int Image; // picture number in ImageList1, counted from 1; 0 for a separator
    bool Enabled;
    bool Pressed;
};

inline constexpr int kToolbarEntryCount = 19;

// clang-format off
inline constexpr std::array<ToolbarEntry, kToolbarEntryCount> kToolbarDesign{{
    {1,  u"Search",           u"搜尋",     ToolbarButtonStyle::Default,     1,  true,  false},
    {2,  u"Management",       u"車輛管理", ToolbarButtonStyle::Default,     2,  true,  false},
    {3,  u"Print",            u"列印",     ToolbarButtonStyle::Default,     10, false, false},
    {4,  u"",                 u"",         ToolbarButtonStyle::Separator,   0,  true,  false},
    {5,  u"Kestrova",         u"自動追蹤", ToolbarButtonStyle::ButtonGroup, 3,  true,  true},
    {6,  u"ManualCall",       u"手動追蹤", ToolbarButtonStyle::ButtonGroup, 4,  true,  false},
    {7,  u"",                 u"",         ToolbarButtonStyle::Separator,   0,  true,  false},
    {8,  u"Dial",             u"啟動追蹤", ToolbarButtonStyle::Default,     11, true,  false},
    {9,  u"Interrupt",        u"追蹤中斷", ToolbarButtonStyle::Default,     5,  false, false},
    {10, u"",                 u"",         ToolbarButtonStyle::Separator,   0,  true,  false},
    {11, u"TrackQuery",       u"航跡查詢", ToolbarButtonStyle::ButtonGroup, 6,  true,  false},
    {12, u"RealTimePosition", u"即時顯示", ToolbarButtonStyle::Check,       7,  false, false},
    {13, u"Showlist",         u"顯示列表", ToolbarButtonStyle::Default,     13, true,  false},
    {14, u"",                 u"",         ToolbarButtonStyle::Separator,   0,  true,  false},
    {15, u"Settings",         u"系統設定", ToolbarButtonStyle::Default,     8,  true,  false},
    {16, u"",                 u"",         ToolbarButtonStyle::Separator,   0,  true,  false},
    {17, u"About",            u"關於",     ToolbarButtonStyle::Default,     12, true,  false},
    {18, u"",                 u"",         ToolbarButtonStyle::Separator,   0,  true,  false},
    {19, u"Exit",             u"結束系統", ToolbarButtonStyle::Default,     9,  true,  false},
}};
// clang-format on

// The picture file of ImageList1's picture number image, relative to the program folder.
QString toolbarPicturePath(int image);

} // namespace kestrova
