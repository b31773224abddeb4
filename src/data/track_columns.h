#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

// The computed columns of the track query: the stored values as the track grid, the playback and the
// export show them. Each returns nothing where the value cannot be shown (the cell is then Null).
namespace kestrova {

// DialTime_1: a DbTime text read by its fixed positions (year 1-4, month 6-7, day 9-10, hour 12-13,
// minute 15-16, second 18-19), each part by its leading number; parts out of range carry over as a
// date serial does (month 13 is January of the next year). Nothing for a date outside years 100-9999.
// The value has no time zone (it is kept as UTC): a time in a daylight-saving gap stays as stored.
std::optional<QDateTime> DialTimeValue(QStringView dbTime);

// EWX / NSY: "" for 0; otherwise hemisphere, blank, whole degrees, "° ", minutes as two digits, "' ",
// seconds rounded half up as two digits (not carried: 59.5 seconds show as 60) and a double quote.
// Nothing for a value that is not finite.
std::optional<QString> DegreesMinutesSeconds(const QString& hemisphere, double value);

// Speed_1 / Offset_1: grouped by thousands without decimals when the hundredths are zero, else with
// two decimals; then a blank and the unit ("12 km", "12.50 km", "1,234 m").
std::optional<QString> QuantityText(float value, QStringView unit);

// Direction_1: the compass name of the 45-degree sector, halves rounded up ("北" for 0, "東北" for
// 22.5). Nothing for a negative or non-finite heading.
std::optional<QString> CompassName(float heading);

} // namespace kestrova
