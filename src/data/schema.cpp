#include "data/schema.h"

#include "data/db_lib.h"
#include "data/sql_connection.h"
#include "startup/runtime_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrova {

namespace {

// CommLog's columns stay in this order: its rows are inserted by position.
const char kSchema[] = R"sql(
CREATE TABLE Vehicle (
    SeqNO INTEGER PRIMARY KEY,
    PlateNumber TEXT,
    PhoneNumber TEXT,
    CarBrand TEXT,
    DriveName TEXT,
    TelNumber1 TEXT,
    TelNumber2 TEXT,
    MobileNumber1 TEXT,
    MobileNumber2 TEXT,
    StrCaution TEXT,
    EndCaution TEXT,
    CarType INTEGER,
    Dial INTEGER,
    DialTime TEXT,
    CheckPoint TEXT,
    EW TEXT,
    X REAL,
    NS TEXT,
    Y REAL,
    Speed REAL,
    Direction REAL,
    Offset REAL,
    Healthy TEXT,
    Address TEXT
);
CREATE INDEX Vehicle_PlateNumber ON Vehicle (PlateNumber);
CREATE INDEX Vehicle_PhoneNumber ON Vehicle (PhoneNumber);
CREATE TABLE CommLog (
    PlateNumber TEXT,
    DialTime TEXT,
    CheckPoint TEXT,
    EW TEXT,
    X REAL,
    NS TEXT,
    Y REAL,
    Speed REAL,
    Direction REAL,
    Offset REAL,
    Healthy TEXT,
    Position TEXT
);
CREATE INDEX CommLog_PlateNumber_DialTime ON CommLog (PlateNumber, DialTime);
CREATE TABLE Coordinate (
    SeqNO INTEGER PRIMARY KEY,
    X REAL,
    Y REAL,
    Kind TEXT,
    Explanation TEXT
);
CREATE TABLE MapReport (
    SeqNO INTEGER PRIMARY KEY,
    Remark TEXT
);
INSERT INTO MapReport (SeqNO, Remark) VALUES (1, '');
)sql";

} // namespace

void CreateDatabase(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        const QString file = path + QLatin1String(suffix);
        if (QFileInfo(file).exists() || QFileInfo(file).isSymLink()) {
            throw RuntimeError(QStringLiteral("%1 already exists; it is not overwritten").arg(file));
        }
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        throw RuntimeError(QStringLiteral("cannot create the folder %1").arg(folder));
    }
    // Made empty and exclusively first, so that a file appearing meanwhile is never overwritten.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        throw RuntimeError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    file.close();
    try {
        SqlConnection connection;
        connection.open(path, QByteArray(kDatabaseKey), SqlConnection::OpenMode::CreateNew);
        // A write-ahead log with a sync at every commit: a row is on disk once its statement returns,
        // with one sync per commit, and the file is never left half-written by a crash.
        connection.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        connection.execute(QStringLiteral("PRAGMA synchronous=FULL"));
        connection.execute(QStringLiteral("BEGIN"));
        connection.execute(QString::fromUtf8(kSchema));
        connection.execute(QStringLiteral("COMMIT"));
        connection.close();
    } catch (const RuntimeError&) {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            QFile::remove(path + QLatin1String(suffix));
        }
        throw;
    }
}

} // namespace kestrova
