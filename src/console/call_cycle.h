#pragma once

#include "console/calling_parts.h"
#include "console/modem_link.h"
#include "data/records.h"

#include <QString>
#include <cstdint>

// The call cycle of the main window: which vehicle is called and when, how long a call may last, how it
// ends (a decoded position report or a time-out) and what is recorded for it: the vehicle's record and
// call history, the map panels, the communication log, the position log table, the list row and the
// status bar. Timer1 counts down to the next dial and dials, Timer2 times the call; the modem link is
// the cycle's own.
namespace kestrova {

class CallCycle {
public:
    explicit CallCycle(CallingParts parts);
    CallCycle(const CallCycle&) = delete;
    CallCycle& operator=(const CallCycle&) = delete;

    ModemLink& modemLink() { return m_modem; }

    // Timer1's tick: counts Tag down, or dials the current vehicle when it is 0 or below. A failure ends
    // the program.
    void Timer1_Timer();
    // Timer2's tick: counts the call time up, or times the call out at CallTimeout. A failure ends the
    // program.
    void Timer2_Timer();

    // A "$" line: the terminal has answered. Further ones of the same call are ignored.
    void MarkCallConnected();
    // A received position report line: recorded everywhere; in automatic calling it also ends the call
    // and moves on to the next vehicle. A failure ends the program.
    void ProcessPositionReport(const QString& Line);

    // Makes the first vehicle flagged for calling after index From (going round the list, From itself
    // last) the current one. False when none is flagged. A failure ends the program.
    bool SelectNextDialVehicle(int16_t From);

    // Ends calling without booking anything: timers off, the stop logged, CurrentVehicle -1, the call
    // hung up. Requires a current vehicle; failures are thrown.
    void StopCalling();

private:
    VehicleRecord& currentVehicle();
    // Sets DialTime and CheckPoint of the current vehicle's list row, or all six call cells for a report,
    // then selects the row and scrolls it into view.
    void updateListRow(bool withPosition);
    // Deletes the vehicle's position-log rows older than LogDuration days and writes the given row.
    void writePositionLog(const VehicleRecord& row);
    // After a report in automatic calling, or a time-out outside manual calling.
    void continueCycle();
    void hangUpIfOpen();
    void appendLog(const QString& text);
    void setStatus(int panel, const QString& text);
    QString now() const;

    CallingParts m_parts;
    ModemLink m_modem;
};

} // namespace kestrova
