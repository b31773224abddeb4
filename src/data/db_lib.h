#pragma once

#include "data/result_set.h"
#include "data/sql_connection.h"

#include <QString>
#include <cstdint>
#include <optional>

// All access to the console's database: one connection to database/Kestrova.mdb, the statements on
// the Vehicle, CommLog, Coordinate and MapReport tables, the one-at-a-time walks over the Vehicle and
// Coordinate rows, and the track query. Every failure is a RuntimeError with SQLite's message.
namespace kestrova {

// The database file of a program folder.
QString DatabasePath(const QString& programFolder);

// The database password.
inline constexpr char kDatabaseKey[] = "4417";

class clsDBLib {
public:
    clsDBLib() = default;
    // Closes the connection if it is still open.
    ~clsDBLib();
    clsDBLib(const clsDBLib&) = delete;
    clsDBLib& operator=(const clsDBLib&) = delete;

    // Opens the existing file DataSource (never creates it) with the database password.
    void OpenConnection(const QString& DataSource);
    // An error when the connection is not open.
    void CloseConnection();
    bool isOpen() const { return m_cn.isOpen(); }

    // Adds a vehicle: the texts trimmed, CarType and Dial as given, everything else empty or 0 and
    // Healthy "00000". SeqNO and Address are accepted and not used.
    void InsertVehicle(int16_t SeqNO, const QString& PlateNumber, const QString& PhoneNumber, const QString& CarBrand,
                       const QString& DriveName, const QString& TelNumber1, const QString& TelNumber2,
                       const QString& MobileNumber1, const QString& MobileNumber2, const QString& StrCaution,
                       const QString& EndCaution, int16_t CarType, bool Dial, const QString& Address);

    // Rewrites the row whose PhoneNumber is the trimmed PhoneNumber (none: nothing changes). SeqNO
    // and PhoneNumber are not written; Offset is rounded to 2 decimals.
    void UpdateVehicle(int16_t SeqNO, const QString& PlateNumber, const QString& PhoneNumber, const QString& CarBrand,
                       const QString& DriveName, const QString& TelNumber1, const QString& TelNumber2,
                       const QString& MobileNumber1, const QString& MobileNumber2, const QString& StrCaution,
                       const QString& EndCaution, int16_t CarType, bool Dial, const QString& DialTime,
                       const QString& CheckPoint, const QString& EW, double X, const QString& NS, double Y, float Speed,
                       float Direction, float Offset, const QString& Healthy);

    // Deletes every Vehicle row with this plate number and the CommLog rows keyed by their terminal
    // numbers.
    void DeleteVehicle(const QString& PlateNumber);

    // The walks: open, fetch until false, close. One walk at a time: opening one replaces the other.
    void OpenVehicleRecordset();
    void OpenCoordinateRecordset();
    bool FetchVehicleRecord(int16_t& SeqNO, QString& PlateNumber, QString& PhoneNumber, QString& CarBrand,
                            QString& DriveName, QString& TelNumber1, QString& TelNumber2, QString& MobileNumber1,
                            QString& MobileNumber2, QString& StrCaution, QString& EndCaution, int16_t& CarType,
                            bool& Dial, QString& DialTime, QString& CheckPoint, QString& EW, double& X, QString& NS,
                            double& Y, float& Speed, float& Direction, float& Offset, QString& Healthy);
    bool FetchCoordinateRecord(int16_t& SeqNO, double& X, double& Y, QString& Kind, QString& Explanation);
    // Ends either walk.
    void CloseVehicleRecordset();

    void InsertCommLog(const QString& PlateNumber, const QString& DialTime, const QString& CheckPoint,
                       const QString& EW, double X, const QString& NS, double Y, float Speed, float Direction,
                       float Offset, const QString& Healthy, const QString& Position);
    // Deletes the terminal's rows at or before DialTime; neither value is trimmed.
    void DeleteCommLog(const QString& PlateNumber, const QString& DialTime);

    // Begins a transaction on the connection, so that a report's delete and insert reach the file
    // together (see SqlTransaction).
    SqlTransaction BeginTransaction();

    // The track query: the terminal's fixes (X and Y above 0) within the time, speed and offset
    // bounds, by DialTime (rows of one second in the order they were logged), in the 17 columns
    // PlateNumber, DialTime_1, DialTime, CheckPoint, EWX, EW, X, NSY, NS, Y, Position, Speed_1, Speed,
    // Direction_1, Direction, Offset_1, Healthy.
    ResultSet GetCommLogRecordSet(const QString& PlateNumber, const QString& FromTime, const QString& ToTime,
                                  float FromSpeed, float ToSpeed, float FromOffset, float ToOffset);
    // Every MapReport row.
    ResultSet GetMapReportRecordset();

    // The last statement run, with its values written in as SQL literals.
    const QString& strSQL() const { return m_strSQL; }

private:
    enum class WalkKind { Vehicle, Coordinate };
    struct Walk {
        WalkKind kind;
        SqlStatement statement;
        bool atEnd = false;
    };

    void requireOpen() const;
    void execute(const QString& sql, std::initializer_list<SqlValue> values);
    Walk& requireWalk(WalkKind kind);

    SqlConnection m_cn;
    std::optional<Walk> m_rs;
    QString m_strSQL;
};

} // namespace kestrova
