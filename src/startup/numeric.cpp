#include "startup/numeric.h"

#include "startup/runtime_error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace kestrova {

namespace {


// A decimal number: value = 0.d1d2...dn × 10^point. The digits carry no leading or trailing zeros;
// no digits at all mean zero. Rounding works on this form so that halves are judged on the decimal
// text a user sees rather than on the binary fraction behind it.
struct Decimal {
    bool negative = false;
    std::string digits;
    long long point = 0;
};

void stripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.point = 0;
    }
}

// Reads the output of std::to_chars in scientific form ("-1.2345e+02").
Decimal fromScientific(std::string_view text) {
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        d.negative = true;
        ++i;
    }
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            d.digits += text[i];
        }
    }
    int exponent = 0;
    if (i < text.size()) {
        ++i;
        if (i < text.size() && text[i] == '+') {
            ++i;
        }
        std::from_chars(text.data() + i, text.data() + text.size(), exponent);
    }
    d.point = exponent + 1;
    stripTrailingZeros(d);
    return d;
}

// The shortest decimal that reads back as the same value (finite values only).
template <typename T> Decimal shortestDecimal(T value) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific);
    return fromScientific(std::string_view(buffer.data(), result.ptr));
}

// The value rounded to `significant` digits (finite values only).
template <typename T> Decimal significantDecimal(T value, int significant) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, significant - 1);
    return fromScientific(std::string_view(buffer.data(), result.ptr));
}

enum class Tie { ToEven, AwayFromZero };

// Keeps `decimals` digits after the decimal point.
void roundDecimal(Decimal& d, long long decimals, Tie tie) {
    const long long keep = d.point + decimals;
    const auto size = static_cast<long long>(d.digits.size());
    if (keep >= size) {
        return;
    }
    if (keep < 0) {
        d.digits.clear();
        d.point = 0;
        return;
    }
    const auto first = static_cast<std::size_t>(keep);
    const char dropped = d.digits[first];
    bool up = dropped > '5';
    if (dropped == '5') {
        const bool moreDigits = first + 1 < d.digits.size(); // no trailing zeros, so these are not all 0
        if (moreDigits || tie == Tie::AwayFromZero) {
            up = true;
        } else {
            up = first > 0 && (d.digits[first - 1] - '0') % 2 == 1;
        }
    }
    d.digits.resize(first);
    if (up) {
        std::size_t i = first;
        while (i > 0 && d.digits[i - 1] == '9') {
            d.digits[i - 1] = '0';
            --i;
        }
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[i - 1];
        }
    }
    stripTrailingZeros(d);
}

double toDouble(const Decimal& d) {
    if (d.digits.empty()) {
        return d.negative ? -0.0 : 0.0;
    }
    const std::string text = d.digits + 'e' + std::to_string(d.point - static_cast<long long>(d.digits.size()));
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = d.point > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return d.negative ? -value : value;
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        return floor + 1.0;
    }
    return floor;
}

template <typename T> T convertToInteger(double value) {
    const double rounded = roundHalfEven(value);
    if (std::isnan(rounded) || rounded < std::numeric_limits<T>::min() || rounded > std::numeric_limits<T>::max()) {
        throw RuntimeError(kOverflow);
    }
    return static_cast<T>(rounded);
}

QString nonFiniteText(double value) {
    if (std::isnan(value)) {
        return QStringLiteral("-1.#IND");
    }
    return value < 0 ? QStringLiteral("-1.#INF") : QStringLiteral("1.#INF");
}

QString numberText(const Decimal& d, int precision) {
    if (d.digits.empty()) {
        return QStringLiteral("0");
    }
    std::string text = d.negative ? "-" : "";
    const long long exponent = d.point - 1;
    const auto size = static_cast<long long>(d.digits.size());
    if (exponent < -4 || exponent >= precision) {
        text += d.digits[0];
        if (size > 1) {
            text += '.';
            text.append(d.digits, 1);
        }
        text += exponent < 0 ? "E-" : "E+";
        const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
        if (magnitude.size() < 2) {
            text += '0';
        }
        text += magnitude;
    } else if (d.point <= 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-d.point), '0');
        text += d.digits;
    } else if (d.point >= size) {
        text += d.digits;
        text.append(static_cast<std::size_t>(d.point - size), '0');
    } else {
        text.append(d.digits, 0, static_cast<std::size_t>(d.point));
        text += '.';
        text.append(d.digits, static_cast<std::size_t>(d.point));
    }
    return QString::fromLatin1(text);
}

bool isPlaceholder(QChar c) {
    return c == u'0' || c == u'#' || c == u'.' || c == u',';
}

QString formatDecimal(Decimal d, QStringView pattern) {
    qsizetype begin = 0;
    while (begin < pattern.size() && !isPlaceholder(pattern[begin])) {
        ++begin;
    }
    qsizetype end = pattern.size();
    while (end > begin && !isPlaceholder(pattern[end - 1])) {
        --end;
    }
    const QStringView prefix = pattern.first(begin);
    const QStringView suffix = pattern.sliced(end);
    const QStringView number = pattern.sliced(begin, end - begin);
    const qsizetype pointAt = number.indexOf(u'.');
    const QStringView integerPart = pointAt < 0 ? number : number.first(pointAt);
    const QStringView fractionPart = pointAt < 0 ? QStringView() : number.sliced(pointAt + 1);

    const auto minIntegerDigits = static_cast<std::size_t>(integerPart.count(u'0'));
    const bool grouping = integerPart.contains(u',');
    std::size_t maxDecimals = 0;
    std::size_t minDecimals = 0;
    for (QChar c : fractionPart) {
        if (c == u'0' || c == u'#') {
            ++maxDecimals;
            if (c == u'0') {
                minDecimals = maxDecimals;
            }
        }
    }

    roundDecimal(d, static_cast<long long>(maxDecimals), Tie::AwayFromZero);
    const auto size = static_cast<long long>(d.digits.size());

    std::string integerDigits;
    if (d.point > 0) {
        integerDigits.assign(d.digits, 0, static_cast<std::size_t>(std::min(d.point, size)));
        if (d.point > size) {
            integerDigits.append(static_cast<std::size_t>(d.point - size), '0');
        }
    }
    if (integerDigits.size() < minIntegerDigits) {
        integerDigits.insert(0, minIntegerDigits - integerDigits.size(), '0');
    }
    if (grouping) {
        for (auto at = static_cast<long long>(integerDigits.size()) - 3; at > 0; at -= 3) {
            integerDigits.insert(static_cast<std::size_t>(at), 1, ',');
        }
    }

    std::string decimals;
    for (std::size_t j = 0; j < maxDecimals; ++j) {
        const long long at = d.point + static_cast<long long>(j);
        decimals += at >= 0 && at < size ? d.digits[static_cast<std::size_t>(at)] : '0';
    }
    while (decimals.size() > minDecimals && decimals.back() == '0') {
        decimals.pop_back();
    }

    QString text;
    if (d.negative && !d.digits.empty()) {
        text += u'-';
    }
    text += prefix;
    text += QString::fromLatin1(integerDigits);
    if (pointAt >= 0) {
        text += u'.';
        text += QString::fromLatin1(decimals);
    }
    text += suffix;
    return text;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0'));
}

// Takes the long time format without its time-zone field. Unquoted "t" runs are the zone; "B" is a
// day period that Qt does not render, so Qt's own am/pm field stands in for it.
QString timeFormatWithoutZone(const QString& format) {
    QString cleaned;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            cleaned += c;
        } else if (!quoted && c == u't') {
            continue;
        } else if (!quoted && c == u'B') {
            while (i + 1 < format.size() && format[i + 1] == u'B') {
                ++i;
            }
            cleaned += QStringLiteral("AP");
        } else {
            cleaned += c;
        }
    }
    cleaned.remove(QStringLiteral("[]"));
    cleaned.remove(QStringLiteral("()"));
    cleaned = cleaned.simplified();
    while (cleaned.endsWith(u',')) {
        cleaned.chop(1);
        cleaned = cleaned.trimmed();
    }
    return cleaned;
}

// A cursor over a text that passes over the blanks, tabs and line feeds Val ignores.
class ValCursor {
public:
    explicit ValCursor(QStringView text) : m_text(text) {}

    QChar peek() {
        while (m_at < m_text.size() && (m_text[m_at] == u' ' || m_text[m_at] == u'\t' || m_text[m_at] == u'\n')) {
            ++m_at;
        }
        return m_at < m_text.size() ? m_text[m_at] : QChar();
    }
    void advance() { ++m_at; }
    bool take(char16_t lower) {
        const QChar c = peek();
        if (c.toLower() == QChar(lower)) {
            advance();
            return true;
        }
        return false;
    }
    bool takeDigit(int base, int& digit) {
        const QChar c = peek();
        const char16_t u = c.toLower().unicode();
        if (u >= u'0' && u <= u'9' && u - u'0' < base) {
            digit = u - u'0';
        } else if (base == 16 && u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        } else {
            return false;
        }
        advance();
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

// "&H"/"&O" numbers: up to 16 bits they are an Integer, up to 32 bits a Long, so the top bit is a sign.
double radixNumber(ValCursor& cursor, int base) {
    double value = 0.0;
    int digit = 0;
    while (cursor.takeDigit(base, digit)) {
        value = value * base + digit;
    }
    if (value <= 0xFFFF) {
        return static_cast<int16_t>(static_cast<uint16_t>(value));
    }
    if (value <= 0xFFFFFFFFu) {
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    return value;
}

} // namespace

double Val(QStringView text) {
    ValCursor cursor(text);
    if (cursor.take(u'&')) {
        if (cursor.take(u'h')) {
            return radixNumber(cursor, 16);
        }
        if (cursor.take(u'o')) {
            return radixNumber(cursor, 8);
        }
        return 0.0;
    }

    bool negative = false;
    if (cursor.take(u'-')) {
        negative = true;
    } else {
        cursor.take(u'+');
    }
    std::string mantissa;
    long long fractionDigits = 0;
    bool anyDigit = false;
    int digit = 0;
    while (cursor.takeDigit(10, digit)) {
        anyDigit = true;
        if (!mantissa.empty() || digit != 0) {
            mantissa += static_cast<char>('0' + digit);
        }
    }
    if (cursor.take(u'.')) {
        while (cursor.takeDigit(10, digit)) {
            anyDigit = true;
            mantissa += static_cast<char>('0' + digit);
            ++fractionDigits;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }

    long long exponent = 0;
    if (cursor.take(u'e') || cursor.take(u'd')) {
        bool negativeExponent = false;
        if (cursor.take(u'-')) {
            negativeExponent = true;
        } else {
            cursor.take(u'+');
        }
        // Saturates far beyond the Double range, so absurd exponents cannot overflow the counter.
        while (cursor.takeDigit(10, digit)) {
            exponent = std::min(exponent * 10 + digit, 1000000LL);
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }

    Decimal d;
    d.negative = negative;
    const auto firstSignificant = mantissa.find_first_not_of('0');
    if (firstSignificant == std::string::npos) {
        return negative ? -0.0 : 0.0;
    }
    d.digits = mantissa.substr(firstSignificant);
    d.point = static_cast<long long>(mantissa.size() - firstSignificant) - fractionDigits + exponent;
    stripTrailingZeros(d);
    return toDouble(d);
}

int16_t CInt(double value) {
    return convertToInteger<int16_t>(value);
}

int32_t CLng(double value) {
    return convertToInteger<int32_t>(value);
}

double Round(double value, int digits) {
    if (!std::isfinite(value) || digits < 0) {
        return value;
    }
    Decimal d = shortestDecimal(value);
    roundDecimal(d, digits, Tie::ToEven);
    return toDouble(d);
}

double Int(double value) {
    return std::floor(value);
}

int32_t Mod(double a, double b) {
    const int32_t dividend = CLng(a);
    const int32_t divisor = CLng(b);
    if (divisor == 0) {
        throw RuntimeError(kDivisionByZero);
    }
    if (divisor == -1) {
        return 0; // the quotient of the smallest Long by -1 does not fit, but the remainder is 0
    }
    return dividend % divisor;
}

QString NumberText(double value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    return numberText(significantDecimal(value, 15), 15);
}

QString NumberText(float value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    return numberText(significantDecimal(value, 7), 7);
}

QString Format(double value, QStringView pattern) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    return formatDecimal(shortestDecimal(value), pattern);
}

QString Format(float value, QStringView pattern) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    return formatDecimal(shortestDecimal(value), pattern);
}

QString FormatDate(const QDateTime& moment, QStringView pattern) {
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = moment.date();
    const QTime time = moment.time();
    QString text;
    bool afterHour = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar letter = pattern[i].toLower();
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == letter) {
            ++run;
        }
        const char16_t c = letter.unicode();
        if (c == u'y') {
            text += run >= 3 ? QStringLiteral("%1").arg(date.year(), 4, 10, QChar(u'0')) : twoDigits(date.year() % 100);
        } else if (c == u'm' && run >= 3) {
            text += QString::fromLatin1(kMonths[static_cast<std::size_t>(date.month() - 1) % kMonths.size()]);
        } else if (c == u'm' || c == u'd' || c == u'h' || c == u'n' || c == u's') {
            int field = 0;
            switch (c) {
            case u'm':
                field = afterHour ? time.minute() : date.month();
                break;
            case u'd':
                field = date.day();
                break;
            case u'h':
                field = time.hour();
                break;
            case u'n':
                field = time.minute();
                break;
            default:
                field = time.second();
                break;
            }
            text += run >= 2 ? twoDigits(field) : QString::number(field);
        } else {
            text += pattern.sliced(i, run);
            i += run;
            continue;
        }
        afterHour = c == u'h';
        i += run;
    }
    return text;
}

QString GeneralDateText(const QDateTime& moment, const QLocale& locale) {
    QString text = locale.toString(moment.date(), locale.dateFormat(QLocale::ShortFormat));
    if (moment.time() != QTime(0, 0)) {
        text += u' ';
        text += locale.toString(moment.time(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    }
    return text;
}

} // namespace kestrova
