#include "map/landmarks.h"

#include "startup/runtime_error.h"

namespace kestrova {

void LoadCoordinates(clsDBLib& gDBLib, std::vector<CoordinateRecord>& Coordinates, ProgramEnd& programEnd) {
    try {
        gDBLib.OpenCoordinateRecordset();
        Coordinates.assign(1, CoordinateRecord{});
        CoordinateRecord record;
        while (gDBLib.FetchCoordinateRecord(record.SeqNO, record.X, record.Y, record.Kind, record.Explanation)) {
            // The filled element takes the place of the empty last one, and a new empty one follows.
            Coordinates.back() = record;
            Coordinates.emplace_back();
        }
        gDBLib.CloseVehicleRecordset();
    } catch (const RuntimeError& e) {
        programEnd.EndProgram(e.text());
    }
}

} // namespace kestrova
