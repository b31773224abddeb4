#pragma once

#include "data/records.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// The computed parts of the call cycle: the status-bar texts of the countdown and of the call time, the
// choice of the next vehicle to call, and the wait before a new cycle.
namespace kestrova {

// Panel 2 during the countdown to the next dial, t seconds left: "循環倒數：" with hours and minutes
// shown only from the first non-zero one ("循環倒數：1 時 1 分 0 秒", "循環倒數：1 分 59 秒",
// "循環倒數：0 秒"). Seconds are t rounded half to even, modulo 60. Throws RuntimeError("溢位") for a t
// beyond the Long range.
QString CountdownText(double t);

// Panel 2 during a call, t seconds since the dial: "使用時間：1 分 15 秒", "使用時間：59 秒"; minutes
// modulo 60, no hours.
QString CallTimeText(double t);

// The first vehicle flagged for calling after index From among the rowCount list rows, going round and
// ending with From itself: for k = 1 to rowCount, index (k + From) modulo rowCount. None when no row's
// vehicle is flagged, or the list is empty. An index without an element of Vehicles throws
// RuntimeError("陣列索引超出範圍").
std::optional<int> NextDialVehicle(const std::vector<VehicleRecord>& Vehicles, int rowCount, int From);

// The seconds still to wait when a cycle has come round to its first vehicle again: TotalCycleTime less
// the whole seconds from CycleStartTime to now (counted on whole-second times). Zero or negative when the
// cycle took longer.
double RestOfCycleTime(double TotalCycleTime, const QDateTime& CycleStartTime, const QDateTime& now);

} // namespace kestrova
