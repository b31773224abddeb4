#pragma once

#include <QString>
#include <cstdint>

// The records the console keeps in memory and the fixed texts stored with them.
namespace kestrova {

// The records dialog's copy of one Vehicle row: the table's columns in order (Address is never stored
// in the table; it carries the place text of the last fix).
struct VehicleRow {
    int16_t SeqNO = 0;
    QString PlateNumber;
    QString PhoneNumber;
    QString CarBrand;
    QString DriveName;
    QString TelNumber1;
    QString TelNumber2;
    QString MobileNumber1;
    QString MobileNumber2;
    QString StrCaution;
    QString EndCaution;
    int16_t CarType = 0;
    bool Dial = false;
    QString DialTime;
    QString CheckPoint;
    QString EW;
    double X = 0;
    QString NS;
    double Y = 0;
    float Speed = 0;
    float Direction = 0;
    float Offset = 0;
    QString Healthy;
    QString Address;
};

// One vehicle as the main window keeps it: its row plus the two flags of the current call.
struct VehicleRecord : VehicleRow {
    bool Connected = false;
    bool Located = false;
};

// One landmark of the Coordinate table.
struct CoordinateRecord {
    int16_t SeqNO = 0;
    double X = 0;
    double Y = 0;
    QString Kind;
    QString Explanation;
};

// Hemisphere texts; X and Y are stored unsigned and the hemisphere lives only in these.
inline const QString kNorthLatitude = QStringLiteral("北緯");
inline const QString kSouthLatitude = QStringLiteral("南緯");
inline const QString kEastLongitude = QStringLiteral("東經");
inline const QString kWestLongitude = QStringLiteral("西經");

// CheckPoint texts of the call events.
inline const QString kCheckDialling = QStringLiteral("正在撥號");
inline const QString kCheckAnswered = QStringLiteral("已撥通");
inline const QString kCheckRealTime = QStringLiteral("即時位置");
inline const QString kCheckLastKnown = QStringLiteral("最後位置");
inline const QString kCheckNotAnswered = QStringLiteral("未撥通");
inline const QString kCheckNoReport = QStringLiteral("訊號不良");

// Call history: five digits, newest at the right.
inline const QString kHealthyNew = QStringLiteral("00000");
inline const QString kHealthyAllFailed = QStringLiteral("22222");
inline constexpr char kHealthyReport = '0';
inline constexpr char kHealthyNoReport = '1';
inline constexpr char kHealthyNoAnswer = '2';

// The history after one more call result: the right-most five characters of the old text followed
// by the digit.
QString AppendHealthy(const QString& healthy, char digit);

} // namespace kestrova
