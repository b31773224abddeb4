#pragma once

#include "calling/fake_clock.h"
#include "calling/fake_serial_port.h"
#include "calling/position_report.h"
#include "console/call_cycle.h"
#include "console/vehicle_list_cells.h"
#include "data/temp_database.h"
#include "fake_vehicle_list.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"

#include <QString>
#include <QStringList>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// The main window's calling logic on fakes: a fake port and clock, fake timers, status bar and log box,
// the list fakes, and a real temporary database for the position log. tick() stands for one second of
// the window's event loop.
namespace kestrova::test {

class FakeCallTimer final : public CallTimer {
public:
    bool Enabled() const override { return enabled; }
    void setEnabled(bool e) override { enabled = e; }
    QString Tag() const override { return tag; }
    void setTag(const QString& t) override { tag = t; }

    bool enabled = false;
    QString tag;
};

class FakeStatusBar final : public StatusBarPanels {
public:
    QString panelText(int panel) const override { return panels.at(static_cast<std::size_t>(panel)); }
    void setPanelText(int panel, const QString& text) override {
        EXPECT_TRUE(panel >= 1 && panel <= 4) << "panel " << panel;
        panels.at(static_cast<std::size_t>(panel)) = text;
        history.push_back({panel, text});
    }

    std::array<QString, 5> panels;
    std::vector<std::pair<int, QString>> history;
};

class FakeCommLogBox final : public CommLogBox {
public:
    QString text() const override { return logText; }
    void setText(const QString& text) override {
        logText = text;
        if (events != nullptr) {
            events->append(QStringLiteral("log"));
        }
    }
    void moveCaretToEnd() override { ++caretMoves; }

    QString logText;
    int caretMoves = 0;
    QStringList* events = nullptr;
};

// A CommLog row as stored.
struct StoredLogRow {
    QString DialTime, CheckPoint, EW;
    double X = 0;
    QString NS;
    double Y = 0;
    double Speed = 0;
    QString Healthy, Position;
};

inline VehicleRecord CalledVehicle(const QString& plate, const QString& phone, bool dial = true) {
    VehicleRecord v;
    v.PlateNumber = plate;
    v.PhoneNumber = phone;
    v.Dial = dial;
    v.Healthy = kHealthyNew;
    return v;
}

// The line a terminal sends for a fix.
inline QString ReportLine(double latitude = 25.03538, double longitude = 121.5576, double speedKmh = 23.2, int k6 = 3,
                          int k12 = 7, int k21 = 9) {
    return ScramblePositionReport(PlainDigitsOf(PlainReportFromFix(latitude, longitude, speedKmh, 90, true)), k6, k12,
                                  k21);
}

class CallingTest : public ::testing::Test {
protected:
    CallingTest() {
        logBox.events = &events;
        choosers.onClick = [this](int i) { events.append(QStringLiteral("choose %1").arg(i)); };
        box.setDefaultTitle(QStringLiteral("Kestrova V1.0.3"));
        port.setSettings(QStringLiteral("4800,n,8,1"));
        state.CommPort = 3;
        state.DefaultTimeout = 10;
        state.AutoTimeout = 20;
        state.ManualTimeout = 30;
        state.LogDuration = 7;
        state.CurrentVehicle = -1;
        cycle = std::make_unique<CallCycle>(CallingParts{
            state, port, clock, db.db, Timer1, Timer2, statusBar, logBox, list, choosers, box, programEnd,
            [this] { ++beeps; }, [this](int16_t index) { events.append(QStringLiteral("refresh %1").arg(index)); },
            [this](double, double, QString& text) {
                text = place;
                events.append(QStringLiteral("describe"));
            },
            [this](int i, bool visible) { panelVisible.at(static_cast<std::size_t>(i)) = visible; },
            [this] {
                ++interrupts;
                cycle->StopCalling();
            }});
    }

    // Vehicles and their list rows; the spare playback slot goes at the end.
    void setVehicles(const std::vector<VehicleRecord>& vehicles) {
        state.Vehicles = vehicles;
        state.Vehicles.emplace_back();
        list.clearRows();
        for (const VehicleRecord& v : vehicles) {
            list.addRow(VehicleRowKey(v), VehicleRowTexts(v));
            choosers.addItem(6, v.PlateNumber);
        }
    }

    // What StartDialing does for the selected vehicle index.
    void startDialing(int16_t vehicle, int16_t callMode = 0) {
        state.CallMode = callMode;
        state.CurrentVehicle = vehicle;
        state.CycleFirstVehicle = vehicle;
        Timer1.tag = QStringLiteral("0");
        Timer1.enabled = true;
    }

    // One second of the event loop: the clock moves on and each timer that is on fires once.
    void tick() {
        clock.advance(1000);
        const bool first = Timer1.enabled;
        const bool second = Timer2.enabled;
        if (first) {
            cycle->Timer1_Timer();
        }
        if (second && Timer2.enabled) {
            cycle->Timer2_Timer();
        }
    }

    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            tick();
        }
    }

    VehicleRecord& vehicle(int i) { return state.Vehicles.at(static_cast<std::size_t>(i)); }

    std::vector<StoredLogRow> storedLog(const QString& phone) {
        SqlStatement statement = db.raw.prepare(QStringLiteral(
            "SELECT DialTime, CheckPoint, EW, X, NS, Y, Speed, Healthy, Position FROM CommLog WHERE PlateNumber = ? "
            "ORDER BY rowid"));
        const std::vector<SqlValue> values{phone};
        statement.bindAll(values);
        std::vector<StoredLogRow> rows;
        while (statement.step()) {
            rows.push_back({statement.text(0), statement.text(1), statement.text(2), statement.real(3),
                            statement.text(4), statement.real(5), statement.real(6), statement.text(7),
                            statement.text(8)});
        }
        return rows;
    }

    MainWindowState state;
    FakeSerialPort port;
    FakeClock clock;
    TempDatabase db;
    FakeCallTimer Timer1;
    FakeCallTimer Timer2;
    FakeStatusBar statusBar;
    FakeCommLogBox logBox;
    FakeVehicleListView list;
    FakePanelChoosers choosers;
    FakeMessageBox box;
    int ended = 0;
    ProgramEnd programEnd{box, [this] { ++ended; }};
    int beeps = 0;
    // The calls out that leave a trace, in order: "refresh <i>", "describe", "choose <i>", "log".
    QStringList events;
    QString place = QStringLiteral("測試路附近");
    std::array<bool, 8> panelVisible{};
    int interrupts = 0;
    std::unique_ptr<CallCycle> cycle;
};

} // namespace kestrova::test
