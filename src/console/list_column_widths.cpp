#include "console/list_column_widths.h"

#include "console/main_window_layout.h"
#include "startup/twips.h"

#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace kestrova {

int ListColumnWidths::columnCount() const {
    return m_list.header()->count();
}

float ListColumnWidths::width(int index) const {
    return pixelsToTwips(m_list.header()->sectionSize(index));
}

void ListColumnWidths::setWidth(int index, float width) {
    m_list.header()->resizeSection(index, std::max(twipsToPixels(width), 0));
}

} // namespace kestrova
