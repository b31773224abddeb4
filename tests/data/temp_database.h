#pragma once

#include "data/db_lib.h"
#include "data/records.h"
#include "data/schema.h"
#include "data/sql_connection.h"
#include "startup/runtime_error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A new, empty console database in a temporary program folder, with clsDBLib open on it and a second
// raw connection for looking at what was stored.
struct TempDatabase {
    QTemporaryDir folder;
    QString path = kestrova::DatabasePath(folder.path());
    kestrova::clsDBLib db;
    kestrova::SqlConnection raw;

    TempDatabase() {
        kestrova::CreateDatabase(path);
        db.OpenConnection(path);
        raw.open(path, QByteArray(kestrova::kDatabaseKey), kestrova::SqlConnection::OpenMode::ExistingOnly);
    }

    // The first column of the first row of a query on the raw connection.
    kestrova::FieldValue scalar(const QString& sql, std::initializer_list<kestrova::SqlValue> values = {}) {
        kestrova::SqlStatement statement = raw.prepare(sql);
        statement.bindAll(std::span<const kestrova::SqlValue>(values.begin(), values.size()));
        return statement.step() ? statement.value(0) : kestrova::FieldValue();
    }

    qint64 count(const QString& table, const QString& where = QStringLiteral("1"),
                 std::initializer_list<kestrova::SqlValue> values = {}) {
        return std::get<qint64>(scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, where), values));
    }

    // A vehicle with only the key fields given.
    void addVehicle(const QString& plate, const QString& phone, bool dial = true, int16_t carType = 0) {
        db.InsertVehicle(0, plate, phone, QString(), QString(), QString(), QString(), QString(), QString(),
                         QStringLiteral("N"), QStringLiteral("N"), carType, dial, QString());
    }

    // A position-log row; the fields that matter to a test are given, the rest are plain.
    void addLog(const QString& terminal, const QString& dialTime, double x = 121.5, double y = 25.0, float speed = 10,
                float direction = 0, float offset = 0) {
        db.InsertCommLog(terminal, dialTime, QStringLiteral("即時位置"), QStringLiteral("東經"), x,
                         QStringLiteral("北緯"), y, speed, direction, offset, QStringLiteral("00000"),
                         QStringLiteral("somewhere"));
    }
};

// Every field that FetchVehicleRecord fills.
struct FetchedVehicle {
    int16_t SeqNO = -1;
    QString PlateNumber, PhoneNumber, CarBrand, DriveName, TelNumber1, TelNumber2, MobileNumber1, MobileNumber2;
    QString StrCaution, EndCaution;
    int16_t CarType = -1;
    bool Dial = false;
    QString DialTime, CheckPoint, EW;
    double X = -1;
    QString NS;
    double Y = -1;
    float Speed = -1, Direction = -1, Offset = -1;
    QString Healthy;

    bool fetch(kestrova::clsDBLib& db) {
        return db.FetchVehicleRecord(SeqNO, PlateNumber, PhoneNumber, CarBrand, DriveName, TelNumber1, TelNumber2,
                                     MobileNumber1, MobileNumber2, StrCaution, EndCaution, CarType, Dial, DialTime,
                                     CheckPoint, EW, X, NS, Y, Speed, Direction, Offset, Healthy);
    }
};

// The whole Vehicle table through the walk.
inline std::vector<FetchedVehicle> ReadVehicles(kestrova::clsDBLib& db) {
    std::vector<FetchedVehicle> vehicles;
    db.OpenVehicleRecordset();
    FetchedVehicle v;
    while (v.fetch(db)) {
        vehicles.push_back(v);
    }
    db.CloseVehicleRecordset();
    return vehicles;
}

// Expects statement() to throw a RuntimeError with exactly this text.
template <typename F> void ExpectRuntimeError(F&& statement, const QString& text) {
    try {
        statement();
        ADD_FAILURE() << "no error; expected: " << text.toStdString();
    } catch (const kestrova::RuntimeError& e) {
        EXPECT_EQ(e.text().toStdString(), text.toStdString());
    }
}
