#include "console/list_column_widths.h"

#include "console/main_window_layout.h"

#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace kestrova {

namespace {

constexpr float kTwipsPerPixel = 15;

} // namespace

int ListColumnWidths::columnCount() const {
    return m_list.header()->count();
}

float ListColumnWidths::width(int index) const {
    return static_cast<float>(m_list.header()->sectionSize(index)) * kTwipsPerPixel;
}

void ListColumnWidths::setWidth(int index, float width) {
    m_list.header()->resizeSection(index, std::max(twipsToPixels(width), 0));
}

} // namespace kestrova
