#pragma once

#include "data/db_lib.h"
#include "data/schema.h"
#include "data/sql_connection.h"

#include <QString>

// A large vehicle register for the benchmarks, written in one transaction: plates "KS-00000" upward in
// plate order, terminals "0900000000" upward, each vehicle with a position on a grid over the demo town.
namespace kestrova::bench {

inline void FillRegister(const QString& databasePath, int vehicleCount) {
    CreateDatabase(databasePath);
    SqlConnection db;
    db.open(databasePath, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
    db.execute(QStringLiteral("BEGIN"));
    const QString insert = QStringLiteral(
        "INSERT INTO Vehicle (PlateNumber, PhoneNumber, CarBrand, DriveName, TelNumber1, TelNumber2, MobileNumber1, "
        "MobileNumber2, StrCaution, EndCaution, CarType, Dial, DialTime, CheckPoint, EW, X, NS, Y, Speed, Direction, "
        "Offset, Healthy) VALUES (?, ?, '', '', '', '', '', '', 'N', 'N', ?, 1, '2024/03/05 14:03:22', '即時位置', "
        "'東經', ?, '北緯', ?, 42, 90, 0, ?)");
    for (int i = 0; i < vehicleCount; ++i) {
        const double x = 121.5500 + (i % 100) * 0.0002;
        const double y = 25.0215 + (i / 100) * 0.00017;
        db.run(insert, {QStringLiteral("KS-%1").arg(i, 5, 10, QLatin1Char('0')),
                        QStringLiteral("09%1").arg(i, 8, 10, QLatin1Char('0')), qint64{i % 4}, x, y,
                        QString::fromLatin1(i % 7 == 0 ? "22222" : "00012")});
    }
    db.execute(QStringLiteral("COMMIT"));
    db.close();
}

} // namespace kestrova::bench
