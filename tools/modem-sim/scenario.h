#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// What the modem simulator plays: the modem's port, registration and signal, and the vehicle terminals
// behind it. Read from a JSON scenario file (tools/modem-sim/README.md); every value is checked, so a bad
// file gives one clear error and never a half-read scenario.
namespace kestrova {

struct GeoPoint {
    double Longitude = 0; // signed degrees, east positive
    double Latitude = 0;  // signed degrees, north positive
};

// Where a terminal's call loses the modem's line, as an unplugged or switched-off modem does.
enum class LineDrop { AtDial, MidReport };

struct TerminalScenario {
    QString Number;                              // the text dialled after "ATD"
    bool Answers = true;                         // sends "$" when called
    double AnswerDelay = 2;                      // seconds from the dial to "$"
    double ReportInterval = 5;                   // seconds from "$" to the first report and between reports
    std::vector<GeoPoint> Path;                  // driven as a closed loop; empty: answers but never reports
    double Speed = 0;                            // km/h along the path
    std::optional<double> Heading;               // degrees reported; empty: the direction of travel
    std::optional<std::array<int, 3>> KeyDigits; // k6, k12, k21; empty: random for every report
    bool RealTime = true;                        // the fix kind of the status digit
    std::optional<int> Status;                   // replaces the status digit the fix gives
    int NoDialtoneOnCall = 0;                    // the call (1 = first) answered "NO DIALTONE"; 0 never
    int DropLineOnCall = 0;                      // the call (1 = first) on which the line drops; 0 never
    LineDrop DropLineAt = LineDrop::AtDial;      // when in that call
};

struct ModemScenario {
    int Port = 1;              // the program folder's dev/com<Port>
    QString RecordFile;        // where received commands are written; empty: nowhere
    bool Echo = true;          // the modem echoes what it receives, as a factory-set modem does
    int RegistrationMode = 0;  // n of "+CREG: n,stat"
    int RegistrationState = 1; // stat of "+CREG: n,stat"
    int Rssi = 20;             // "+CSQ: rssi,ber"
    int Ber = 0;
    double NoCarrierAfter = 30; // seconds an unanswered or unknown call rings before "NO CARRIER"
    double RestartDuration = 5; // seconds the modem is deaf after " AT+CFUN=1,1"
    std::vector<TerminalScenario> Terminals;
};

// Parses a scenario; throws RuntimeError naming the faulty key. Relative paths stay as written.
ModemScenario ParseScenario(const QByteArray& json);

// Reads and parses a scenario file; a relative "record" path is taken from the file's folder.
ModemScenario LoadScenarioFile(const QString& path);

} // namespace kestrova
