#pragma once

#include "data/records.h"
#include "data/result_set.h"

#include <QString>
#include <cstdint>

// The track point that map panel 7 shows and the report prints: a row of the track result copied into
// the spare vehicle record.
namespace kestrova {

// Copies the current row of a track result into slot: PlateNumber and CarType as given; DialTime,
// CheckPoint, EW, NS and Healthy as texts, X and Y, Speed and Direction as numbers, and Position into
// Address. Every other field keeps its value. Throws RuntimeError at BOF or EOF and for a number that
// cannot be read (Null, or a Single out of range); slot is then unchanged.
void CopyTrackRow(const ResultSet& rs, const QString& PlateNumber, int16_t CarType, VehicleRecord& slot);

} // namespace kestrova
