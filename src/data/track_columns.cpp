#include "data/track_columns.h"

#include "startup/numeric.h"

#include <array>
#include <cmath>

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

int FloorDiv(int a, int b) {
    const int quotient = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

} // namespace

std::optional<QDateTime> DialTimeValue(QStringView dbTime) {
    const auto year = IntegerPart(dbTime, 0, 4);
    const auto month = IntegerPart(dbTime, 5, 2);
    const auto day = IntegerPart(dbTime, 8, 2);
    const auto hour = IntegerPart(dbTime, 11, 2);
    const auto minute = IntegerPart(dbTime, 14, 2);
    const auto second = IntegerPart(dbTime, 17, 2);
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
    return hemisphere + u' ' + NumberText(degrees) + QStringLiteral("° ") + Format(wholeMinutes, u"00") +
           QStringLiteral("' ") + Format(seconds, u"00") + u'"';
}

std::optional<QString> QuantityText(float value, QStringView unit) {
    if (!std::isfinite(value)) {
        return std::nullopt;
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
    const double sector = Int(DecimalOf(heading) / 45 + 0.5);
    const double index = RemainderOf(sector, 8) + 1;
    if (index < 1 || index > 8) {
        return std::nullopt;
    }
    return kNames[static_cast<std::size_t>(index) - 1];
}

} // namespace kestrova
