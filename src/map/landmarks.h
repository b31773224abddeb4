#pragma once

#include "data/db_lib.h"
#include "data/records.h"
#include "startup/program_end.h"

#include <vector>

// The landmarks the map panels show: read once at start-up from the Coordinate table into the main
// window's Coordinates array.
namespace kestrova {

// Rebuilds Coordinates from the Coordinate table: the rows in the order the database returns them, then
// one empty element that is always present (so a table without rows gives the single empty element).
// Any run-time error on the way shows its text through programEnd, which ends the program.
void LoadCoordinates(clsDBLib& gDBLib, std::vector<CoordinateRecord>& Coordinates, ProgramEnd& programEnd);

} // namespace kestrova
