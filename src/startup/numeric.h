#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <concepts>
#include <cstdint>

// The number rules of the forms runtime that the console's procedures rely on: how a text's leading
// number is read, how fractions become integers (nearest, half to even), and how numbers and dates
// become text. They live in one place so every procedure rounds and formats the same way.
namespace kestrova {

// The leading number of a text: blanks, tabs and line feeds are skipped anywhere in it (" 1 2 3" is
// 123), "." is the decimal sign, an optional sign and an exponent (E or D) are taken, "&H"/"&O"
// prefixes read hex/octal (up to four hex digits give an Integer, so "&HFFFF" is -1, up to eight a
// Long); 0 when there is none. Never throws: a number beyond the Double range gives an infinity,
// which the integer conversions then report as an overflow.
double Val(QStringView text);

// Nearest integer, an exact half going to the even one. Throw RuntimeError("溢位") outside the range
// and for NaN.
int16_t CInt(double value);
int32_t CLng(double value);

// Round to `digits` decimals, a half to the even neighbour, judged on the value's shortest decimal
// text (so 12.125 gives 12.12 and 2.675 gives 2.68). Infinities, NaN and a negative `digits` leave the
// value as it is.
double Round(double value, int digits = 0);

// The floor of a number (Int of the runtime, -2.5 gives -3).
double Int(double value);

// a Mod b of the runtime: both operands are first rounded to Long integers (half to even, overflow as
// CLng); the result takes the sign of a. Throws RuntimeError("除數為零") when the rounded b is 0.
int32_t Mod(double a, double b);

// The default number-to-text form: the shortest decimal with at most 15 significant digits for a
// Double and 7 for a Single; plain digits for ordinary magnitudes, an exponent ("1E+15", "1E-05")
// when the decimal exponent is 15 (Single: 7) or more, or below -4; no trailing zeros, a leading "-"
// for negatives, never "-0", and the leading "0" kept ("0.5", "12", "-3.25").
QString NumberText(double value);
QString NumberText(float value);
// Integers (Integer, Long) in plain digits.
template <std::integral T> QString NumberText(T value) {
    return QString::number(value);
}

// Format(number, pattern) for the patterns the console uses: "0", "00", "000", "0.0", "0.00",
// "0.000000000", "#,##0", "#,##0.00", "###,###,###,##0.0" and the like: digit placeholders "0"
// (always shown) and "#" (shown when needed), one ".", and a "," among the integer placeholders for
// grouping by three; other characters before or after the placeholders are copied. Rounding at the
// last shown decimal is half away from zero on the decimal value (the shortest decimal of a Double,
// of a Single for the float overload), so Format(2.675, "0.00") is "2.68". A "-" precedes a negative
// number unless every shown digit is 0.
QString Format(double value, QStringView pattern);
QString Format(float value, QStringView pattern);
template <std::integral T> QString Format(T value, QStringView pattern) {
    return Format(static_cast<double>(value), pattern);
}

// Format(date, pattern) for date patterns built from yyyy, yy, mmm (English month abbreviation,
// "Jan" to "Dec"), mm/m (month, or minutes when right after an hour field), dd/d, hh/h (24-hour),
// nn/n, ss/s, in either case, and literal separators, e.g. "yyyy/mm/dd hh:mm:ss".
QString FormatDate(const QDateTime& moment, QStringView pattern);

// The system's general date-time text of a moment: the locale's short date, a blank and its long
// time without a time-zone name; the time is left out when it is exactly midnight.
QString GeneralDateText(const QDateTime& moment, const QLocale& locale = QLocale::system());

} // namespace kestrova
