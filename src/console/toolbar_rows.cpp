#include "console/toolbar_rows.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace kestrova {

std::vector<int> FitButtonWidths(const std::vector<int>& natural, const std::vector<int>& tight, int room) {
    const long long wanted = std::accumulate(natural.begin(), natural.end(), 0LL);
    if (wanted <= room)
        return natural;
    const long long least = std::accumulate(tight.begin(), tight.end(), 0LL);
    const long long spare = std::max(0LL, room - least);
    const long long givable = wanted - least;
    std::vector<int> widths(natural.size());
    for (std::size_t i = 0; i < natural.size(); ++i) {
        const long long give = std::max(0, natural[i] - tight[i]);
        widths[i] = tight[i] + static_cast<int>(givable > 0 ? give * spare / givable : 0);
    }
    return widths;
}

namespace {

// Which row each entry goes to, filling every row as far as the tight widths allow. The separators
// between the last button of a row and the first of the next are hidden.
int assignRows(const std::vector<ToolbarItemWidth>& items, int spacing, int room,
               std::vector<ToolbarItemPlace>& places) {
    int row = 0;
    long long used = 0;
    bool rowHasButton = false;
    std::vector<std::size_t> separators; // those since the last button
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].separator) {
            separators.push_back(i);
            continue;
        }
        if (rowHasButton) {
            long long needed = used + spacing + items[i].tight;
            for (const std::size_t s : separators)
                needed += spacing + items[s].tight;
            if (needed > room) {
                ++row;
                used = 0;
                rowHasButton = false;
            }
        }
        for (const std::size_t s : separators) {
            places[s] = {row, 0, 0, rowHasButton};
            if (rowHasButton)
                used += spacing + items[s].tight;
        }
        separators.clear();
        used += (rowHasButton ? spacing : 0) + items[i].tight;
        places[i].row = row;
        rowHasButton = true;
    }
    for (const std::size_t s : separators)
        places[s] = {row, 0, 0, false};
    return row + 1;
}

} // namespace

ToolbarRows PlaceToolbarItems(const std::vector<ToolbarItemWidth>& items, int spacing, int room) {
    ToolbarRows rows;
    rows.places.resize(items.size());
    rows.rowCount = assignRows(items, spacing, room, rows.places);

    for (int row = 0; row < rows.rowCount; ++row) {
        std::vector<std::size_t> onRow;
        std::vector<int> natural;
        std::vector<int> tight;
        int fixed = 0; // the separators and the gaps
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (rows.places[i].row != row || !rows.places[i].shown)
                continue;
            fixed += onRow.empty() ? 0 : spacing;
            onRow.push_back(i);
            if (items[i].separator) {
                fixed += items[i].natural;
            } else {
                natural.push_back(items[i].natural);
                tight.push_back(items[i].tight);
            }
        }
        const std::vector<int> widths = FitButtonWidths(natural, tight, room - fixed);
        int x = 0;
        std::size_t button = 0;
        for (const std::size_t i : onRow) {
            ToolbarItemPlace& place = rows.places[i];
            place.x = x;
            place.width = items[i].separator ? items[i].natural : widths[button++];
            x += place.width + spacing;
        }
    }
    return rows;
}

} // namespace kestrova
