#include "calling/call_cycle_rules.h"

#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <cmath>

namespace kestrova {

namespace {

constexpr double kSecondsPerMinute = 60;
constexpr double kSecondsPerHour = 3600;

// Times are counted to the second, as the stored times are.
QDateTime wholeSeconds(const QDateTime& moment) {
    return moment.isValid() ? moment.addMSecs(-moment.time().msec()) : moment;
}

} // namespace

QString CountdownText(double t) {
    const double s = Mod(t, kSecondsPerMinute);
    const double m = Mod((t - s) / kSecondsPerMinute, kSecondsPerMinute);
    const double h = std::trunc((t - s) / kSecondsPerHour);
    QString text = QStringLiteral("循環倒數：");
    if (h != 0) {
        text += NumberText(h) + QStringLiteral(" 時 ");
    }
    if (h != 0 || m != 0) {
        text += NumberText(m) + QStringLiteral(" 分 ");
    }
    return text + NumberText(s) + QStringLiteral(" 秒");
}

QString CallTimeText(double t) {
    const double s = Mod(t, kSecondsPerMinute);
    const double m = Mod((t - s) / kSecondsPerMinute, kSecondsPerMinute);
    QString text = QStringLiteral("使用時間：");
    if (m != 0) {
        text += NumberText(m) + QStringLiteral(" 分 ");
    }
    return text + NumberText(s) + QStringLiteral(" 秒");
}

std::optional<int> NextDialVehicle(const std::vector<VehicleRecord>& Vehicles, int rowCount, int From) {
    for (int k = 1; k <= rowCount; ++k) {
        const long long idx = (static_cast<long long>(k) + From) % rowCount;
        if (idx < 0 || idx >= static_cast<long long>(Vehicles.size())) {
            throw RuntimeError(kSubscriptOutOfRange);
        }
        if (Vehicles[static_cast<std::size_t>(idx)].Dial) {
            return static_cast<int>(idx);
        }
    }
    return std::nullopt;
}

double RestOfCycleTime(double TotalCycleTime, const QDateTime& CycleStartTime, const QDateTime& now) {
    return TotalCycleTime - static_cast<double>(wholeSeconds(CycleStartTime).secsTo(wholeSeconds(now)));
}

} // namespace kestrova
