#include "demo_data.h"

#include "data/db_lib.h"
#include "data/sql_connection.h"

#include <cmath>
#include <numbers>

namespace kestrova {

namespace {

struct DemoVehicle {
    const char* plateNumber;
    const char* phoneNumber;
    const char* carBrand;
    const char* driveName;
    const char* telNumber1;
    const char* mobileNumber1;
    const char* strCaution;
    const char* endCaution;
    int16_t carType;
    bool dial;
};

const DemoVehicle kVehicles[] = {
    {"KS-101", "0912000101", "AKE-1201", "王大明", "02-27201001", "0933100101", "N", "N", 0, true},
    {"KS-102", "0912000102", "AKE-1202", "李小華", "02-27201002", "0933100102", "22:00", "06:00", 1, true},
    {"KS-103", "0912000103", "BKS-3303", "陳志強", "02-27201003", "0933100103", "N", "N", 2, true},
    {"KS-104", "0912000104", "BKS-3304", "林美玲", "02-27201004", "0933100104", "N", "N", 3, true},
    {"KS-105", "0912000105", "CTR-5505", "張建國", "02-27201005", "0933100105", "20:30", "07:30", 0, true},
    {"KS-106", "0912000106", "CTR-5506", "黃淑芬", "02-27201006", "0933100106", "N", "N", 1, true},
    {"KS-107", "0912000107", "DVN-7707", "吳俊傑", "02-27201007", "0933100107", "N", "N", 2, false},
    {"KS-108", "0912000108", "DVN-7708", "周雅婷", "02-27201008", "0933100108", "N", "N", 3, false},
};

// Landmarks at points of interest of the demo town, in metres east and north of its south-west
// corner. Kind 1: public services, 2: shops and food, 3: transport and fuel.
struct DemoLandmark {
    const char* explanation;
    const char* kind;
    double east;
    double north;
};

const DemoLandmark kLandmarks[] = {
    {"中油加油站", "3", 1025, 320},   {"凱斯特國民小學", "1", 500, 1650},  {"凱斯特市立醫院", "1", 1470, 1270},
    {"松濤派出所", "1", 830, 1425},   {"統一超商梅川門市", "2", 680, 520}, {"臺灣銀行凱斯特分行", "1", 1030, 1430},
    {"阿婆麵館", "2", 1180, 1720},    {"凱斯特郵局", "1", 975, 1125},      {"全聯福利中心", "2", 1680, 560},
    {"凱斯特消防隊", "1", 380, 1370}, {"河濱咖啡", "2", 1250, 720},        {"凱斯特轉運站", "3", 1700, 1430},
};

// The demo town's south-west corner and its metres per degree at latitude 25.03.
constexpr double kOriginLon = 121.55;
constexpr double kOriginLat = 25.021;

double MetresPerDegreeLat() {
    const double phi = 25.03 * std::numbers::pi / 180;
    return 111132.954 - 559.822 * std::cos(2 * phi) + 1.175 * std::cos(4 * phi);
}

double MetresPerDegreeLon() {
    const double phi = 25.03 * std::numbers::pi / 180;
    return 111412.84 * std::cos(phi) - 93.5 * std::cos(3 * phi);
}

double SixPlaces(double degrees) {
    return std::round(degrees * 1e6) / 1e6;
}

} // namespace

void FillDemoData(const QString& databasePath) {
    clsDBLib db;
    db.OpenConnection(databasePath);
    for (const DemoVehicle& v : kVehicles) {
        db.InsertVehicle(0, QString::fromUtf8(v.plateNumber), QString::fromUtf8(v.phoneNumber),
                         QString::fromUtf8(v.carBrand), QString::fromUtf8(v.driveName), QString::fromUtf8(v.telNumber1),
                         QString(), QString::fromUtf8(v.mobileNumber1), QString(), QString::fromUtf8(v.strCaution),
                         QString::fromUtf8(v.endCaution), v.carType, v.dial, QString());
    }
    db.CloseConnection();

    SqlConnection connection;
    connection.open(databasePath, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
    connection.execute(QStringLiteral("BEGIN"));
    for (const DemoLandmark& l : kLandmarks) {
        connection.run(QStringLiteral("INSERT INTO Coordinate (X,Y,Kind,Explanation) VALUES (?,?,?,?)"),
                       {SixPlaces(kOriginLon + l.east / MetresPerDegreeLon()),
                        SixPlaces(kOriginLat + l.north / MetresPerDegreeLat()), QString::fromUtf8(l.kind),
                        QString::fromUtf8(l.explanation)});
    }
    connection.execute(QStringLiteral("COMMIT"));
    connection.close();
}

} // namespace kestrova
