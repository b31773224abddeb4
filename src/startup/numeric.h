#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <cstdint>

// The number rules of the forms runtime that the console's procedures rely on: how a text's leading
// number is read, how fractions become integers (nearest, half to even), and how numbers and dates
// become text. They live in one place so every procedure rounds and formats the same way.
namespace kestrova {

// The leading number of a text: blanks and tabs are skipped anywhere in it, "." is the decimal sign,
// an optional sign and exponent are taken, "&H"/"&O" prefixes read hex/octal; 0 when there is none.
double Val(QStringView text);

// Nearest integer, an exact half going to the even one. Throw RuntimeError("溢位") outside the range.
int16_t CInt(double value);
int32_t CLng(double value);

// Round to `digits` decimals, a half to the even neighbour, judged on the value's shortest decimal
// text (so 12.125 gives 12.12 and 2.675 gives 2.68).
double Round(double value, int digits = 0);

// The floor of a number (Int of the runtime, -2.5 gives -3).
double Int(double value);

// a Mod b of the runtime: both operands are first rounded to integers (half to even); the result
// takes the sign of a. Throws RuntimeError("除以零") when the rounded b is 0.
int32_t Mod(double a, double b);

// The default number-to-text form: the shortest decimal that reads back as the same value, with at
// most 15 significant digits for a Double and 7 for a Single; no exponent for ordinary magnitudes,
// no trailing zeros, a leading "-" for negatives and no leading "0" dropped ("0.5", "12", "-3.25").
QString NumberText(double value);
QString NumberText(float value);

// Format(number, pattern) for the patterns the console uses: "0", "00", "000", "0.0", "0.00",
// "0.000000000", "#,##0", "#,##0.00", "###,###,###,##0.0" and the like (digit placeholders "0" and
// "#", one "." and "," grouping by three). Rounding at the last shown decimal is half away from zero
// on the decimal value.
QString Format(double value, QStringView pattern);

// Format(date, pattern) for date patterns built from yyyy, yy, mm (month, or minutes after hh), dd,
// hh, nn, ss, mmm (English month abbreviation) and literal separators, e.g. "yyyy/mm/dd hh:mm:ss".
QString FormatDate(const QDateTime& moment, QStringView pattern);

// The system's general date-time text of a moment: the locale's short date, a blank and its long
// time without a time-zone name; the time is left out when it is exactly midnight.
QString GeneralDateText(const QDateTime& moment);

} // namespace kestrova
