#pragma once

#include <vector>

// Where the buttons of a tool bar stand when its width may not hold them side by side: narrowed towards
// their captions first, and onto further rows when even that does not fit. No button is ever left out.
namespace kestrova {

// The widths of buttons that are to share room pixels: all as wide as they like when that fits, else each
// narrowed towards its tight width (the least that still shows its whole caption) by the same share of
// what it can give up, and never below it. The widths add up to at most room whenever the tight ones do.
std::vector<int> FitButtonWidths(const std::vector<int>& natural, const std::vector<int>& tight, int room);

// One entry of a tool bar, left to right, in pixels.
struct ToolbarItemWidth {
    bool separator = false;
    int natural = 0; // a button as wide as it likes; a separator's own width
    int tight = 0;   // a button's least width that shows its whole caption; a separator's own width
};

// Where one entry stands. A separator that would begin or end a row is not shown and takes no room.
struct ToolbarItemPlace {
    int row = 0;
    int x = 0;
    int width = 0;
    bool shown = true;
    bool operator==(const ToolbarItemPlace&) const = default;
};

struct ToolbarRows {
    std::vector<ToolbarItemPlace> places; // one for each entry, in the entries' order
    int rowCount = 1;
};

// The entries, left to right with spacing pixels between neighbours, on as few rows of room pixels as
// they take at their tight widths (a row holds at least one button, however narrow the room); on each
// row the buttons then share its room through FitButtonWidths.
ToolbarRows PlaceToolbarItems(const std::vector<ToolbarItemWidth>& items, int spacing, int room);

} // namespace kestrova
