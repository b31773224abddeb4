#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The vehicle terminals' position report: "*", 27 scrambled digits and "#". Recognising a received
// line, descrambling it and decoding its fields are pure functions; the scrambling that terminals do
// is here too, for the modem simulator and the tests.
namespace kestrova {

inline constexpr int kPositionReportLength = 29;
inline constexpr int kPlainDigitCount = 24;

// How a complete received line stands against the report frame.
enum class ReportFrame {
    NotFramed,     // not "*...#" of 29 characters: other replies are tried on it
    BadDigits,     // framed, but an inner character is not "0" to "9": ignored without any effect
    PositionReport // a report to decode
};

ReportFrame ClassifyReportLine(QStringView line);

// The hemisphere and fix-kind texts that a status digit gives; status 9 gives none (the vehicle keeps
// its own texts).
struct StatusTexts {
    QString CheckPoint;
    QString NS;
    QString EW;
};
std::optional<StatusTexts> StatusTextsOf(int status);

// What a report yields for the vehicle's record.
struct DecodedPositionReport {
    int Status = 0;
    std::optional<StatusTexts> Texts; // empty for status 9
    double Y = 0;                     // latitude, unsigned degrees, 5 decimals
    double X = 0;                     // longitude, unsigned degrees, 5 decimals
    float Speed = 0;                  // km/h, 1 decimal
    float Direction = 0;              // degrees, 1 decimal
    float Offset = 0;                 // metres from the previous fix, 0 without one
};

// The 26-character plain report "*P1...P24#" of a recognised line.
QString PlainReportOf(QStringView line);

// Decodes a line that ClassifyReportLine accepted as a PositionReport. PrevX and PrevY are the
// vehicle's position before this report. Throws std::invalid_argument for any other line.
DecodedPositionReport DecodePositionReport(QStringView line, double PrevX, double PrevY);

// The metres between two fixes as the console reckons them; 0 when there was no previous fix.
float OffsetMetres(double prevX, double prevY, double x, double y);

// The fields of a plain report, in the units the terminal sends.
struct PlainReportFields {
    int Status = 7;           // 0 to 9
    int LatitudeDegrees = 0;  // 0 to 99
    int LatitudeMinutes = 0;  // thousandths of a minute, 0 to 99999
    int LongitudeDegrees = 0; // 0 to 999
    int LongitudeMinutes = 0; // thousandths of a minute, 0 to 99999
    int Speed = 0;            // tenths of a knot, 0 to 9999
    int Heading = 0;          // tenths of a degree, 0 to 9999
};

// The 24 plain digits P1..P24 of the fields; throws std::out_of_range when a field does not fit.
std::array<int, kPlainDigitCount> PlainDigitsOf(const PlainReportFields& fields);

// The wire line a terminal sends for the plain digits with the key digits k6, k12 and k21 (0 to 9).
QString ScramblePositionReport(const std::array<int, kPlainDigitCount>& plainDigits, int k6, int k12, int k21);

// The plain-report fields for a fix given in signed degrees, km/h and degrees, as a terminal makes
// them (status from the hemispheres and the fix kind; values rounded to the frame's units).
PlainReportFields PlainReportFromFix(double latitude, double longitude, double speedKmh, double heading,
                                     bool realTime);

} // namespace kestrova
