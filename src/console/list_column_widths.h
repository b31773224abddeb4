#pragma once

#include "startup/column_widths.h"

class QTreeView;

// The column widths of a report-style list view in twips (15 to a pixel), for remembering them.
namespace kestrova {

class ListColumnWidths final : public ColumnWidthsView {
public:
    explicit ListColumnWidths(QTreeView& list) : m_list(list) {}

    int columnCount() const override;
    float width(int index) const override;
    // A negative width makes the column as narrow as it can be. Throws RuntimeError beyond the pixel range.
    void setWidth(int index, float width) override;

private:
    QTreeView& m_list;
};

} // namespace kestrova
