#pragma once

#include "console/vehicle_list_view.h"
#include "data/records.h"

#include <QString>
#include <cstdint>

// What a vehicle's row of the list shows: the text of each cell and the red marking of a vehicle whose
// last five calls all went unanswered.
namespace kestrova {

// The key of a vehicle's row: "#" and the plate.
QString VehicleRowKey(const QString& PlateNumber);
QString VehicleRowKey(const VehicleRecord& v);

// The text of one cell. Throws RuntimeError("溢位") for a heading too large to name.
QString VehicleCellText(const VehicleRecord& v, VehicleListColumn column);

// The texts of a whole row, in column order.
VehicleListRowTexts VehicleRowTexts(const VehicleRecord& v);

// A row is marked when the call history is exactly "22222".
bool IsVehicleRowMarked(const QString& Healthy);

// The text colour of the marked cells, &HBBGGRR: red when marked, black otherwise.
inline constexpr int32_t kMarkedRowColour = 255;
inline constexpr int32_t kUnmarkedRowColour = 0;

// Whether the marking colours the column: every column but "Dial".
bool IsMarkedColumn(VehicleListColumn column);

} // namespace kestrova
