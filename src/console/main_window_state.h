#pragma once

#include "data/records.h"
#include "map/map_engine_interface.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

// The main window's own variables, shared by the pieces of the console that read or write them: the
// window owns one and hands it by reference. Everything starts zeroed; start-up gives the first values.
namespace kestrova {

struct MainWindowState {
    // The one map engine; owned elsewhere (the window), null until start-up creates it.
    MapEngineInterface* MapEngine = nullptr;
    // 0 automatic calling, 1 manual calling, 2 track query.
    int16_t CallMode = 0;
    // Element i is vehicle list row i + 1; the last element is the spare PlaybackSlot.
    std::vector<VehicleRecord> Vehicles;
    // Index in Vehicles of the vehicle being called or next to be called; -1 while no calling runs.
    int16_t CurrentVehicle = 0;
    // True while LoadVehicleList refills the panels' vehicle choosers.
    bool bLoadingVehicles = false;
    // Copies of the [Settings] keys, in seconds.
    int16_t DefaultTimeout = 0;
    int16_t AutoTimeout = 0;
    int16_t ManualTimeout = 0;
    double TotalCycleTime = 0;
    // The vehicle that starts and ends a calling cycle.
    int16_t CycleFirstVehicle = 0;
    // When the cycle's first vehicle was dialled in automatic calling.
    QDateTime CycleStartTime;
    // How long the current call may last, in seconds.
    int16_t CallTimeout = 0;
    int16_t CommPort = 0;
    bool bPCSound = false;
    // Retention of CommLog rows, in days.
    int16_t LogDuration = 0;
    // The error text a handler keeps while it hangs up, shows the message and ends the program.
    QString LastErrorText;
    // The landmark rows plus one empty last element.
    std::vector<CoordinateRecord> Coordinates;
    // The vehicle list is shown; saved as [ColumnWidths] SStab.
    bool ListVisible = false;
    // Received modem text that no CR has ended yet.
    QString ReceiveBuffer;

    // The spare element that carries the track point being shown or printed.
    VehicleRecord& PlaybackSlot() { return Vehicles.back(); }
};

} // namespace kestrova
