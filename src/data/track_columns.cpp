#include "data/track_columns.h"

#include "startup/numeric.h"
#include "startup/text_helpers.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace kestrova {

namespace {

// The runtime's Mod on operands that fit a Long; beyond that the same remainder without the overflow,
// so that one odd stored value cannot stop the whole query.
double RemainderOf(double a, double b) {
    if (std::fabs(a) <= 2147483647.0) {
        return Mod(a, b);
    }
    return std::fmod(std::nearbyint(a), b);
}

std::optional<int> IntegerPart(QStringView text, qsizetype from, qsizetype length) {
    const QStringView piece =
        from < text.size() ? text.sliced(from, std::min(length, text.size() - from)) : QStringView();
    const double value = std::nearbyint(Val(piece));
    if (!(value >= -32768.0 && value <= 32767.0)) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

// A Single as the decimal number it shows (12.3f is 12.3, not 12.30000019...).
double DecimalOf(float value) {
    return NumberText(value).toDouble();
}

// Appends two digits, as Format(value, "00") writes a whole number from 0 to 99.
void AppendTwoDigits(QString& text, double value) {
    if (value >= 0 && value <= 99 && value == std::floor(value)) {
        const int n = static_cast<int>(value);
        text += QChar(u'0' + n / 10);
        text += QChar(u'0' + n % 10);
        return;
    }
    text += Format(value, u"00");
}

// A Single that is an exact number of hundredths (12, 42.5, 1.25; most speeds and offsets): the text the
// number patterns give it, built directly. Nothing for any other value, which goes the general way.
std::optional<QString> ExactHundredthsText(float value, QStringView unit) {
    const double hundredths = double(value) * 100; // exact: a Single's digits times 100 fit a Double
    if (!(std::fabs(hundredths) < 1e11) || hundredths != std::floor(hundredths)) {
        return std::nullopt;
    }
    const long long cents = std::llabs(static_cast<long long>(hundredths));
    const QString digits = QString::number(cents / 100);
    QString text;
    text.reserve(digits.size() + digits.size() / 3 + 5 + unit.size());
    if (hundredths < 0) {
        text += u'-';
    }
    const qsizetype head = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    text += QStringView(digits).first(head);
    for (qsizetype i = head; i < digits.size(); i += 3) {
        text += u',';
        text += QStringView(digits).sliced(i, 3);
    }
    if (cents % 100 != 0) {
        text += u'.';
        text += QChar(static_cast<char16_t>(u'0' + cents % 100 / 10));
        text += QChar(static_cast<char16_t>(u'0' + cents % 10));
    }
    text += u' ';
    text += unit;
    return text;
}

int FloorDiv(int a, int b) {
    const int quotient = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

} // namespace

std::optional<QDateTime> DialTimeValue(QStringView dbTime) {
    const std::optional<std::array<int, 6>> canonical = DbTimeFields(dbTime);
    const auto part = [&](std::size_t field, qsizetype from, qsizetype length) -> std::optional<int> {
        return canonical ? std::optional<int>((*canonical)[field]) : IntegerPart(dbTime, from, length);
    };
    const auto year = part(0, 0, 4);
    const auto month = part(1, 5, 2);
    const auto day = part(2, 8, 2);
    const auto hour = part(3, 11, 2);
    const auto minute = part(4, 14, 2);
    const auto second = part(5, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    int fullYear = *year;
    if (fullYear >= 0 && fullYear <= 29) {
        fullYear += 2000;
    } else if (fullYear >= 30 && fullYear <= 99) {
        fullYear += 1900;
    }
    const int months = fullYear * 12 + (*month - 1);
    const int y = FloorDiv(months, 12);
    const int m = months - y * 12 + 1;
    if (y < 0 || y > 20000) {
        return std::nullopt;
    }
    const int seconds = *hour * 3600 + *minute * 60 + *second;
    const int days = FloorDiv(seconds, 86400);
    const QDate date = QDate(y, m, 1).addDays(qint64(*day) - 1 + days);
    if (!date.isValid() || date < QDate(100, 1, 1) || date > QDate(9999, 12, 31)) {
        return std::nullopt;
    }
    // Without a time zone: the stored fields as they are, even in a daylight-saving gap, and no per-row
    // look-up of the zone's rules.
    return QDateTime(date, QTime(0, 0).addSecs(seconds - days * 86400), Qt::UTC);
}

std::optional<QString> DegreesMinutesSeconds(const QString& hemisphere, double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    if (value == 0) {
        return QString();
    }
    const double degrees = Int(value);
    const double minutes = (value - degrees) * 60;
    const double wholeMinutes = Int(minutes);
    const double seconds = Int((minutes - wholeMinutes) * 60 + 0.5);
    QString text;
    text.reserve(hemisphere.size() + 16);
    text += hemisphere;
    text += u' ';
    text += std::fabs(degrees) < 1e15 ? QString::number(static_cast<long long>(degrees)) : NumberText(degrees);
    text += QStringLiteral("° ");
    AppendTwoDigits(text, wholeMinutes);
    text += QStringLiteral("' ");
    AppendTwoDigits(text, seconds);
    text += u'"';
    return text;
}

std::optional<QString> QuantityText(float value, QStringView unit) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    if (std::optional<QString> text = ExactHundredthsText(value, unit)) {
        return text;
    }
    // The hundredths of the decimal value, so that a large Single is not judged on its binary noise.
    const bool whole = RemainderOf(DecimalOf(value) * 100, 100) == 0;
    return Format(value, whole ? u"###,###,###,##0" : u"###,###,###,##0.00") + u' ' + unit.toString();
}

std::optional<QString> CompassName(float heading) {
    static const std::array<QString, 8> kNames = {
        QStringLiteral("北"), QStringLiteral("東北"), QStringLiteral("東"), QStringLiteral("東南"),
        QStringLiteral("南"), QStringLiteral("西南"), QStringLiteral("西"), QStringLiteral("西北"),
    };
    if (!std::isfinite(heading)) {
        return std::nullopt;
    }
    // The sector of the heading's decimal form. Its binary value lies in the same sector except within a
    // hair of an edge (the Single just below 22.5 shows as 22.5), where the decimal form, slower to get,
    // decides.
    const double quotient = double(heading) / 45 + 0.5;
    const bool nearEdge = std::fabs(quotient - std::nearbyint(quotient)) <= 1e-5 * (std::fabs(quotient) + 1);
    const double sector = Int(nearEdge ? DecimalOf(heading) / 45 + 0.5 : quotient);
    const double index = RemainderOf(sector, 8) + 1;
    if (index < 1 || index > 8) {
        return std::nullopt;
    }
    return kNames[static_cast<std::size_t>(index) - 1];
}

} // namespace kestrova
