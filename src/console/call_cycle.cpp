#include "console/call_cycle.h"

#include "console/console_mode_tables.h"

#include "calling/call_cycle_rules.h"
#include "calling/comm_log.h"
#include "calling/position_report.h"
#include "console/vehicle_list_cells.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <exception>
#include <utility>

namespace kestrova {

namespace {

constexpr int16_t kAllPanels = 0;
constexpr int kRealTimePanel = 6;
constexpr int kCallPanel = 1;
constexpr int kTimePanel = 2;
constexpr int kMapPanels = 8;
constexpr int kCyclePanels = 6;

// Panels 0 to 5 belong to automatic calling, panel 6 to manual calling, panel 7 to the track query.
bool isPanelOfMode(int panel, int16_t CallMode) {
    if (panel < kCyclePanels) {
        return CallMode == kCallModeAutomatic;
    }
    if (panel == kRealTimePanel) {
        return CallMode == kCallModeManual;
    }
    return CallMode == kCallModeTrackQuery;
}

} // namespace

CallCycle::CallCycle(CallingParts parts)
    : m_parts(std::move(parts)),
      m_modem(m_parts,
              CallEvents{[this] { MarkCallConnected(); }, [this](const QString& Line) { ProcessPositionReport(Line); },
                         [this] { StopCalling(); }}) {}

void CallCycle::Timer1_Timer() {
    m_modem.runHandler([this] {
        MainWindowState& state = m_parts.state;
        const double tag = Val(m_parts.Timer1.Tag());
        if (tag > 0) {
            const double t = tag - 1;
            m_parts.Timer1.setTag(NumberText(t));
            setStatus(kTimePanel, CountdownText(t));
            return;
        }

        if (state.CallMode == kCallModeAutomatic && state.CurrentVehicle == state.CycleFirstVehicle) {
            state.CycleStartTime = m_parts.clock.now();
        }
        m_parts.Timer1.setEnabled(false);
        hangUpIfOpen();

        VehicleRecord& R = currentVehicle();
        R.DialTime = now();
        R.CheckPoint = kCheckDialling;
        R.Connected = false;
        R.Located = false;
        m_parts.RefreshMapPanels(kAllPanels);
        TrimCommLog(m_parts.txtCommLog);
        appendLog(DialLogEntry(R.DialTime, R.PlateNumber));
        updateListRow(false);
        setStatus(kCallPanel, QStringLiteral("正在撥號給：") + R.PlateNumber);

        if (m_modem.DialVehicle(R.PhoneNumber)) {
            m_parts.Timer2.setTag(QStringLiteral("0"));
            state.CallTimeout = state.DefaultTimeout;
            m_parts.Timer2.setEnabled(true);
        } else {
            m_parts.InterruptDialing();
        }
    });
}

void CallCycle::Timer2_Timer() {
    m_modem.runHandler([this] {
        MainWindowState& state = m_parts.state;
        const double tag = Val(m_parts.Timer2.Tag());
        if (tag < state.CallTimeout) {
            const double t = tag + 1;
            m_parts.Timer2.setTag(NumberText(t));
            setStatus(kTimePanel, CallTimeText(t));
            return;
        }

        m_parts.Timer2.setEnabled(false);
        VehicleRecord& R = currentVehicle();
        R.DialTime = now();
        if (!(R.Connected && R.Located)) {
            R.CheckPoint = R.Connected ? kCheckNoReport : kCheckNotAnswered;
            R.Healthy = AppendHealthy(kHealthyNew + R.Healthy, R.Connected ? kHealthyNoReport : kHealthyNoAnswer);
            m_parts.RefreshMapPanels(kAllPanels);
            appendLog(TimeoutLogEntry(R.Connected));

            // The failed call's row has no position; the vehicle keeps its last one.
            VehicleRecord row = R;
            row.EW.clear();
            row.NS.clear();
            row.X = 0;
            row.Y = 0;
            row.Speed = 0;
            row.Direction = 0;
            row.Offset = 0;
            writePositionLog(row);

            updateListRow(false);
            setStatus(kCallPanel, R.CheckPoint);
        }
        hangUpIfOpen();
        if (state.CallMode == kCallModeManual) {
            m_parts.InterruptDialing();
        } else {
            continueCycle();
        }
    });
}

void CallCycle::MarkCallConnected() {
    MainWindowState& state = m_parts.state;
    VehicleRecord& R = currentVehicle();
    if (R.Connected) {
        return;
    }
    R.DialTime = now();
    R.CheckPoint = kCheckAnswered;
    R.Connected = true;
    m_parts.RefreshMapPanels(kAllPanels);
    appendLog(AnsweredLogEntry());
    updateListRow(false);
    setStatus(kCallPanel, QStringLiteral("已撥通：") + R.PlateNumber);
    // The new limit still counts from the dial.
    state.CallTimeout = state.CallMode == kCallModeAutomatic ? state.AutoTimeout : state.ManualTimeout;
}

void CallCycle::ProcessPositionReport(const QString& Line) {
    m_modem.runHandler([this, &Line] {
        MainWindowState& state = m_parts.state;
        VehicleRecord& R = currentVehicle();
        const DecodedPositionReport report = DecodePositionReport(Line, R.X, R.Y);
        // The terminal sends no time: the PC's clock stamps the fix.
        R.DialTime = now();
        if (report.Texts) {
            R.CheckPoint = report.Texts->CheckPoint;
            R.NS = report.Texts->NS;
            R.EW = report.Texts->EW;
        }
        R.X = report.X;
        R.Y = report.Y;
        R.Speed = report.Speed;
        R.Direction = report.Direction;
        R.Offset = report.Offset;
        R.Healthy = AppendHealthy(kHealthyNew + R.Healthy, kHealthyReport);
        R.Located = true;

        m_parts.RefreshMapPanels(kAllPanels);
        m_parts.DescribeLocation(R.X, R.Y, R.Address);
        // The large real-time panel follows the vehicle being called; its chooser redraws it.
        if (m_parts.cmbVehicle.listCount(kRealTimePanel) > 0) {
            m_parts.cmbVehicle.setListIndex(kRealTimePanel, state.CurrentVehicle);
        }
        appendLog(PositionLogEntry(R));
        writePositionLog(R);
        updateListRow(true);
        if (state.bPCSound && m_parts.Beep) {
            m_parts.Beep();
        }

        // A manual call stays up until its time-out, recording every further report.
        if (state.CallMode == kCallModeAutomatic) {
            hangUpIfOpen();
            continueCycle();
        }
    });
}

bool CallCycle::SelectNextDialVehicle(int16_t From) {
    try {
        const std::optional<int> next = NextDialVehicle(m_parts.state.Vehicles, m_parts.lvwVehicle.rowCount(), From);
        if (!next) {
            return false;
        }
        m_parts.state.CurrentVehicle = static_cast<int16_t>(*next);
        return true;
    } catch (const RuntimeError& error) {
        m_parts.programEnd.EndProgram(error.text());
    } catch (const std::exception& error) {
        m_parts.programEnd.EndProgram(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void CallCycle::StopCalling() {
    MainWindowState& state = m_parts.state;
    m_parts.Timer1.setEnabled(false);
    m_parts.Timer2.setEnabled(false);
    VehicleRecord& R = currentVehicle();
    R.DialTime = now();
    if (m_parts.setMapPanelVisible) {
        for (int i = 0; i < kMapPanels; ++i) {
            m_parts.setMapPanelVisible(i, isPanelOfMode(i, state.CallMode));
        }
    }
    appendLog(StopLogEntry(R));
    updateListRow(false);
    setStatus(kCallPanel, R.CheckPoint);
    state.CurrentVehicle = -1;
    m_parts.RefreshMapPanels(kAllPanels);
    hangUpIfOpen();
}

VehicleRecord& CallCycle::currentVehicle() {
    auto& Vehicles = m_parts.state.Vehicles;
    const int index = m_parts.state.CurrentVehicle;
    // The last element is the playback slot, not a vehicle.
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= Vehicles.size()) {
        throw RuntimeError(kSubscriptOutOfRange);
    }
    return Vehicles[static_cast<std::size_t>(index)];
}

void CallCycle::updateListRow(bool withPosition) {
    VehicleListView& list = m_parts.lvwVehicle;
    const VehicleRecord& R = currentVehicle();
    const int row = m_parts.state.CurrentVehicle;
    if (row >= list.rowCount()) {
        throw RuntimeError(kSubscriptOutOfRange);
    }
    std::vector<VehicleListColumn> columns{VehicleListColumn::DialTime, VehicleListColumn::CheckPoint};
    if (withPosition) {
        columns.insert(columns.end(), {VehicleListColumn::Position, VehicleListColumn::Speed,
                                       VehicleListColumn::Direction, VehicleListColumn::Offset});
    }
    for (const VehicleListColumn column : columns) {
        list.setCellText(row, column, VehicleCellText(R, column));
    }
    list.selectRow(row);
    list.ensureVisible(row);
}

void CallCycle::writePositionLog(const VehicleRecord& row) {
    clsDBLib& db = m_parts.gDBLib;
    const QString oldest = FormatDbTime(m_parts.clock.now().addDays(-m_parts.state.LogDuration));
    // One transaction: one disk sync per report, and no crash between the two loses the terminal's rows.
    SqlTransaction report = db.BeginTransaction();
    db.DeleteCommLog(row.PhoneNumber, oldest);
    db.InsertCommLog(row.PhoneNumber, row.DialTime, row.CheckPoint, row.EW, row.X, row.NS, row.Y, row.Speed,
                     row.Direction, row.Offset, row.Healthy, row.Address);
    report.commit();
}

void CallCycle::continueCycle() {
    MainWindowState& state = m_parts.state;
    if (!SelectNextDialVehicle(state.CurrentVehicle)) {
        m_parts.InterruptDialing();
        return;
    }
    // A complete cycle waits out the rest of its time; otherwise the Tag, 0 or below, dials at the next tick.
    if (state.CurrentVehicle == state.CycleFirstVehicle) {
        m_parts.Timer1.setTag(
            NumberText(RestOfCycleTime(state.TotalCycleTime, state.CycleStartTime, m_parts.clock.now())));
    }
    m_parts.Timer2.setEnabled(false);
    m_parts.Timer1.setEnabled(true);
}

void CallCycle::hangUpIfOpen() {
    if (m_parts.MSComm1.PortOpen()) {
        m_modem.DisconnectCall();
    }
}

void CallCycle::appendLog(const QString& text) {
    AppendCommLog(m_parts.txtCommLog, text);
}

void CallCycle::setStatus(int panel, const QString& text) {
    m_parts.stbStatusBar.setPanelText(panel, text);
}

QString CallCycle::now() const {
    return FormatDbTime(m_parts.clock.now());
}

} // namespace kestrova
