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

// CommLog's rows whole, in terminal and time order. The table keeps its rows in the order they were
// logged, every terminal's between the others', so a track read from it would take one page per row; from
// this index one terminal's month is a short run of neighbouring pages. The retention delete and the
// vehicle delete find their rows through it too.
const char kTrackIndex[] = "CommLog_Track";
const char kTrackIndexColumns[] =
    "PlateNumber, DialTime, CheckPoint, EW, X, NS, Y, Speed, Direction, Offset, Healthy, Position";

// What earlier builds made in its place: terminal and time only.
const char kEarlierLogIndex[] = "CommLog_PlateNumber_DialTime";

void CreateTrackIndex(SqlConnection& connection) {
    connection.execute(QStringLiteral("CREATE INDEX %1 ON CommLog (%2)")
                           .arg(QLatin1String(kTrackIndex), QLatin1String(kTrackIndexColumns)));
}

bool HasObject(SqlConnection& connection, const char* type, const char* name) {
    SqlStatement find =
        connection.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type=? AND name=? COLLATE NOCASE"));
    const SqlValue values[] = {QString::fromLatin1(type), QString::fromLatin1(name)};
    find.bindAll(values);
    return find.step();
}

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
        CreateTrackIndex(connection);
        connection.execute(QStringLiteral("COMMIT"));
        connection.close();
    } catch (const RuntimeError&) {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            QFile::remove(path + QLatin1String(suffix));
        }
        throw;
    }
}

void UpgradeDatabase(SqlConnection& connection) {
    {
        SqlTransaction upgrade(connection);
        // A file without CommLog is not changed: the statements that need the table report its absence.
        if (!HasObject(connection, "table", "CommLog") || HasObject(connection, "index", kTrackIndex)) {
            return;
        }
        // The earlier index goes first, so that the new one takes its pages instead of growing the file.
        connection.execute(QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(kEarlierLogIndex)));
        CreateTrackIndex(connection);
        upgrade.commit();
    }
    // The index went through the write-ahead log, as large as itself: it moves into the file now, and the
    // log gives its space back.
    connection.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

} // namespace kestrova
