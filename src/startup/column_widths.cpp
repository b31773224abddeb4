#include "startup/column_widths.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <QStringList>
#include <cfloat>
#include <cmath>

namespace kestrova {

QString GetColumnWidths(const ColumnWidthsView& lvw) {
    QString text;
    for (int index = 0; index < lvw.columnCount(); ++index) {
        if (!text.isEmpty()) {
            text += QLatin1Char(',');
        }
        text += NumberText(lvw.width(index));
    }
    return text;
}

void SetColumnWidths(ColumnWidthsView& lvw, const QString& widths) {
    const QStringList entries = widths.split(QLatin1Char(','));
    const int count = lvw.columnCount();
    for (int index = 0; index < count && index < entries.size(); ++index) {
        const QString& entry = entries[index];
        if (entry.isEmpty()) {
            continue;
        }
        const double width = Val(entry);
        if (!std::isfinite(width) || std::fabs(width) > FLT_MAX) {
            throw RuntimeError(kOverflow);
        }
        lvw.setWidth(index, static_cast<float>(width));
    }
}

} // namespace kestrova
