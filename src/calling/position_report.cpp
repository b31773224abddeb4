#include "calling/position_report.h"

#include "data/records.h"

#include <cmath>
#include <stdexcept>

namespace kestrova {

namespace {

// Which key digits shift a frame digit: a sum of these bits.
enum KeyBits { K6 = 1, K12 = 2, K21 = 4 };

struct PlainDigitPlace {
    int frameDigit; // j: character j of the line (0 is "*")
    int keys;       // key digits whose sum shifts it
};

// Plain digits P1..P24: where each sits in the frame and which key digits shift it.
constexpr std::array<PlainDigitPlace, kPlainDigitCount> kPlainDigitPlaces{{
    {4, K6 | K12 | K21}, {10, K12}, {7, K21},  {9, K6 | K21},        {1, K6},    {13, K6},
    {8, K21},            {17, K6},  {24, K12}, {22, K12},            {18, K6 | K21}, {2, K12},
    {23, K6 | K12 | K21}, {25, K21}, {19, K6 | K12}, {3, K21},       {26, K6},   {27, K6 | K12},
    {16, K21},           {15, K12}, {20, K6 | K12}, {14, K12},       {11, K12 | K21}, {5, K6},
}};

constexpr int kKey6 = 6;
constexpr int kKey12 = 12;
constexpr int kKey21 = 21;

int shiftOf(int keys, int k6, int k12, int k21)
{
    return ((keys & K6) ? k6 : 0) + ((keys & K12) ? k12 : 0) + ((keys & K21) ? k21 : 0);
}

int digitAt(QStringView line, int index)
{
    return line[index].unicode() - u'0';
}

// The number made of plain digits first..last (1-based, inclusive).
int plainNumber(const std::array<int, kPlainDigitCount>& p, int first, int last)
{
    int value = 0;
    for (int n = first; n <= last; ++n)
        value = value * 10 + p[n - 1];
    return value;
}

std::array<int, kPlainDigitCount> descramble(QStringView line)
{
    const int k6 = digitAt(line, kKey6);
    const int k12 = digitAt(line, kKey12);
    const int k21 = digitAt(line, kKey21);
    std::array<int, kPlainDigitCount> plain{};
    for (int n = 0; n < kPlainDigitCount; ++n) {
        const auto& place = kPlainDigitPlaces[n];
        const int shift = shiftOf(place.keys, k6, k12, k21);
        plain[n] = ((digitAt(line, place.frameDigit) - shift) % 10 + 10) % 10;
    }
    return plain;
}

// Degrees plus thousandths of a minute, rounded to 5 decimals. Whole thousandths of a minute are
// whole thirds of the fifth decimal, so the rounding is done exactly in integers and never ties.
double degreesOf(int degrees, int thousandthsOfMinute)
{
    const long long fifths = 5LL * thousandthsOfMinute; // in thirds of 1e-5 degree
    long long hundredThousandths = fifths / 3;
    if (fifths % 3 == 2)
        ++hundredThousandths;
    return static_cast<double>(degrees * 100000LL + hundredThousandths) / 100000.0;
}

// Tenths of a knot to km/h at one decimal, a half going to the even tenth. v x 0.1852 is worked out
// in ten-thousandths so the half is judged on the exact decimal value.
float speedKmhOf(int tenthsOfKnot)
{
    const long long tenThousandths = 1852LL * tenthsOfKnot;
    long long tenths = tenThousandths / 1000;
    const long long rest = tenThousandths % 1000;
    if (rest > 500 || (rest == 500 && tenths % 2 != 0))
        ++tenths;
    return static_cast<float>(static_cast<double>(tenths) / 10.0);
}

} // namespace

ReportFrame ClassifyReportLine(QStringView line)
{
    if (line.size() != kPositionReportLength || line.front() != u'*' || line.back() != u'#')
        return ReportFrame::NotFramed;
    for (int i = 1; i < kPositionReportLength - 1; ++i) {
        if (line[i] < u'0' || line[i] > u'9')
            return ReportFrame::BadDigits;
    }
    return ReportFrame::PositionReport;
}

std::optional<StatusTexts> StatusTextsOf(int status)
{
    if (status == 9 || status < 0 || status > 9)
        return std::nullopt;
    if (status == 8)
        status = 1;
    return StatusTexts{
        (status & 1) ? kCheckRealTime : kCheckLastKnown,
        (status & 4) ? kNorthLatitude : kSouthLatitude,
        (status & 2) ? kEastLongitude : kWestLongitude,
    };
}

QString PlainReportOf(QStringView line)
{
    if (ClassifyReportLine(line) != ReportFrame::PositionReport)
        throw std::invalid_argument("not a position report");
    const auto plain = descramble(line);
    QString text(QLatin1Char('*'));
    for (int digit : plain)
        text += QChar(u'0' + digit);
    text += QLatin1Char('#');
    return text;
}

float OffsetMetres(double prevX, double prevY, double x, double y)
{
    if (prevX == 0 || prevY == 0)
        return 0;
    const double north = (y - prevY) * 110946.0;
    const double east = (x - prevX) * 111320.0;
    return static_cast<float>(std::sqrt(north * north + east * east) * 0.925);
}

DecodedPositionReport DecodePositionReport(QStringView line, double PrevX, double PrevY)
{
    if (ClassifyReportLine(line) != ReportFrame::PositionReport)
        throw std::invalid_argument("not a position report");
    const auto p = descramble(line);

    DecodedPositionReport report;
    report.Status = p[0];
    report.Texts = StatusTextsOf(report.Status);
    report.Y = degreesOf(plainNumber(p, 2, 3), plainNumber(p, 4, 8));
    report.X = degreesOf(plainNumber(p, 9, 11), plainNumber(p, 12, 16));
    report.Speed = speedKmhOf(plainNumber(p, 17, 20));
    report.Direction = static_cast<float>(plainNumber(p, 21, 24) / 10.0);
    report.Offset = OffsetMetres(PrevX, PrevY, report.X, report.Y);
    return report;
}

std::array<int, kPlainDigitCount> PlainDigitsOf(const PlainReportFields& fields)
{
    std::array<int, kPlainDigitCount> digits{};
    int next = 0;
    auto put = [&](int value, int width, const char* name) {
        int limit = 1;
        for (int i = 0; i < width; ++i)
            limit *= 10;
        if (value < 0 || value >= limit)
            throw std::out_of_range(std::string("plain report field out of range: ") + name);
        for (int i = width - 1; i >= 0; --i) {
            digits[next + i] = value % 10;
            value /= 10;
        }
        next += width;
    };
    put(fields.Status, 1, "status");
    put(fields.LatitudeDegrees, 2, "latitude degrees");
    put(fields.LatitudeMinutes, 5, "latitude minutes");
    put(fields.LongitudeDegrees, 3, "longitude degrees");
    put(fields.LongitudeMinutes, 5, "longitude minutes");
    put(fields.Speed, 4, "speed");
    put(fields.Heading, 4, "heading");
    return digits;
}

QString ScramblePositionReport(const std::array<int, kPlainDigitCount>& plainDigits, int k6, int k12, int k21)
{
    for (int k : {k6, k12, k21}) {
        if (k < 0 || k > 9)
            throw std::out_of_range("key digit out of range");
    }
    QString line(kPositionReportLength, QLatin1Char('0'));
    line[0] = QLatin1Char('*');
    line[kPositionReportLength - 1] = QLatin1Char('#');
    line[kKey6] = QChar(u'0' + k6);
    line[kKey12] = QChar(u'0' + k12);
    line[kKey21] = QChar(u'0' + k21);
    for (int n = 0; n < kPlainDigitCount; ++n) {
        const int digit = plainDigits[n];
        if (digit < 0 || digit > 9)
            throw std::out_of_range("plain digit out of range");
        const auto& place = kPlainDigitPlaces[n];
        line[place.frameDigit] = QChar(u'0' + (digit + shiftOf(place.keys, k6, k12, k21)) % 10);
    }
    return line;
}

PlainReportFields PlainReportFromFix(double latitude, double longitude, double speedKmh, double heading,
                                     bool realTime)
{
    auto split = [](double degrees, int& whole, int& thousandths) {
        const long long total = std::llround(std::fabs(degrees) * 60000.0); // thousandths of a minute
        whole = static_cast<int>(total / 60000);
        thousandths = static_cast<int>(total % 60000);
    };
    PlainReportFields fields;
    fields.Status = (realTime ? 1 : 0) | (longitude >= 0 ? 2 : 0) | (latitude >= 0 ? 4 : 0);
    split(latitude, fields.LatitudeDegrees, fields.LatitudeMinutes);
    split(longitude, fields.LongitudeDegrees, fields.LongitudeMinutes);
    fields.Speed = static_cast<int>(std::llround(speedKmh / 1.852 * 10.0));
    double normalised = std::fmod(heading, 360.0);
    if (normalised < 0)
        normalised += 360.0;
    fields.Heading = static_cast<int>(std::llround(normalised * 10.0)) % 3600;
    return fields;
}

} // namespace kestrova
