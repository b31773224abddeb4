#pragma once

#include <QString>

// Remembering the widths of a list view's columns as one settings text ("1500,2250,900").
namespace kestrova {

// What column-width persistence needs of a list view: its columns' widths in twips, index 0 first.
class ColumnWidthsView {
public:
    virtual ~ColumnWidthsView() = default;
    virtual int columnCount() const = 0;
    virtual float width(int index) const = 0;
    virtual void setWidth(int index, float width) = 0;
};

// Every column's width in the default number-to-text form, in column order, joined by commas.
QString GetColumnWidths(const ColumnWidthsView& lvw);

// Applies a widths text: entry i sets column i; an empty entry leaves its column alone, surplus entries
// are ignored. Throws RuntimeError when an entry is too large for a width.
void SetColumnWidths(ColumnWidthsView& lvw, const QString& widths);

} // namespace kestrova
