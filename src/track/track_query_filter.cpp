#include "track/track_query_filter.h"

#include "startup/numeric.h"
#include "startup/text_helpers.h"

#include <QDateTime>
#include <QTime>

#include <cmath>
#include <limits>

namespace kestrova {

namespace {

// The stored date "yyyy/mm/dd" is the first part of a stored time.
constexpr qsizetype kDateLength = 10;

QString startOfDay(const QDate& day) {
    // UTC: a daylight-saving change cannot move midnight.
    return FormatDbTime(QDateTime(day, QTime(0, 0), Qt::UTC));
}

} // namespace

QString FilterBoxText(QStringView text) {
    return NumberText(Val(text));
}

float FilterBound(QStringView text) {
    const double value = Val(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

QString TrackQueryKey(const std::vector<VehicleRecord>& Vehicles, const QString& PlateNumber) {
    for (std::size_t i = 0; i + 1 < Vehicles.size(); ++i) {
        if (Vehicles[i].PlateNumber == PlateNumber)
            return Vehicles[i].PhoneNumber;
    }
    return {};
}

QString TrackFromTime(const QDate& day) {
    return startOfDay(day);
}

QString TrackToTime(const QDate& day) {
    return startOfDay(day).left(kDateLength) + QStringLiteral(" 99:99:99");
}

} // namespace kestrova
