#pragma once

#include "startup/message_box.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <type_traits>

// The small shared routines that format stored times, positions, distances and headings, quote texts
// for SQL, select a text box's contents, switch a range of controls on or off, and delete files. Their
// texts appear in the vehicle list, the log, the map panels, the export files and the SQL statements.
namespace kestrova {

// s with every single quote doubled; no quotes added, nothing trimmed.
QString EscapeSql(const QString& s);

// The runtime's Trim: leading and trailing blanks removed, any other white space kept.
QString Trim(QStringView s);

// The DbTime text of a moment: "yyyy/mm/dd hh:mm:ss", 24-hour.
QString FormatDbTime(const QDateTime& d);

// The six fields (year, month, day, hour, minute, second) of a text in the shape FormatDbTime writes, in
// ASCII digits; the fields are not checked against the calendar. Nothing for a text of any other shape.
std::optional<std::array<int, 6>> DbTimeFields(QStringView s);

// Whether s is a time as FormatDbTime writes it: that shape, and a date and a time that exist.
bool IsDbTime(QStringView s);

// A stored DbTime shown as text. Style 1: "dd-MMM-yy hh:mm:ss" with the English month in capitals
// ("05-MAR-07 14:03:22"); any other style: the locale's general date-time text. An empty text, or
// one that does not hold a valid date and time, gives an empty text.
QString ConvertDbTime(const QString& s, int style, const QLocale& locale = QLocale::system());

// A coordinate as degrees, minutes and seconds after a hemisphere prefix: "東經 121° 30' 00\" " (the
// text ends with a blank). Seconds are rounded but never carried into the minutes, so 60 can show.
// Empty for a value that is not greater than 0.
QString FormatDegMinSec(const QString& prefix, double value);

// A speed with one decimal, thousands grouped, a zero decimal dropped: "1,234 公里", "12.3 公里".
QString FormatKilometres(float x);
// An offset the same way: "0 公尺".
QString FormatMetres(float x);

// The compass name of a heading in degrees, in eight sectors; an exact half goes to the even sector.
// Negative headings wrap round (-45 is "西北"). Throws RuntimeError("溢位") for a heading too large
// to count sectors in a Long.
QString DirectionName(float heading);

// Deletes the file at path, whose name part may hold the wildcards "*" and "?" (case-insensitive,
// as the platform's file kill matched them). False when nothing matched or a file could not be
// deleted; with showError the operator is then told so in an exclamation box with the default title.
bool DeleteFile(const QString& path, bool showError, MessageBox& box);

// Selects the whole text of a text box (anything with text() and setSelection(start, length)), so
// that typing replaces it.
template <typename TextBox> void SelectAllText(TextBox& ctl) {
    ctl.setSelection(0, static_cast<int>(ctl.text().size()));
}

// Enables or disables items First to Last of a control array (a container of items or item pointers
// with isEnabled()/setEnabled()); Last 0 means First alone. Missing elements (outside the array or
// null) and errors from an item are passed over, and the loop goes on.
template <typename Items> void SetItemsEnabled(Items& items, bool enabled, int first, int last) {
    const int lastIndex = last == 0 ? first : last;
    const auto count = static_cast<long long>(std::size(items));
    for (long long i = std::max(first, 0); i <= lastIndex && i < count; ++i) {
        try {
            auto& element = items[static_cast<std::size_t>(i)];
            if constexpr (std::is_pointer_v<std::remove_cvref_t<decltype(element)>>) {
                if (element != nullptr && element->isEnabled() != enabled) {
                    element->setEnabled(enabled);
                }
            } else if (element.isEnabled() != enabled) {
                element.setEnabled(enabled);
            }
        } catch (...) {
            // A failing item must not keep the others from being switched.
        }
    }
}

} // namespace kestrova
