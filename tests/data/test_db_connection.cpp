#include "temp_database.h"

#include "data/data_errors.h"
#include "startup/ordinary_user.h"

#include <QDir>
#include <QFile>

using namespace kestrova;
using namespace kestrova::test;

namespace {

// A database with one table, keyed with `key`.
void MakeKeyedFile(const QString& path, const QByteArray& key) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    SqlConnection connection;
    connection.open(path, key, SqlConnection::OpenMode::CreateNew);
    connection.execute(QStringLiteral("CREATE TABLE Vehicle (PlateNumber TEXT)"));
    connection.close();
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

// Every refusal names the file: "<path>: <SQLite's text>".
TEST(OpenConnection, UnusableFiles_RefusedAtTheOpenNamingTheFile) {
    QTemporaryDir folder;
    SetMode(folder.path(), 0755);
    const auto path = [&](const char* name) { return folder.filePath(QString::fromLatin1(name)); };
    MakeKeyedFile(path("other.mdb"), "1234");
    MakeKeyedFile(path("plain.mdb"), QByteArray());
    WriteBytes(path("text.mdb"), QByteArray(4096, 'x'));
    WriteBytes(path("empty.mdb"), QByteArray());
    MakeKeyedFile(path("whole.mdb"), kDatabaseKey);
    WriteBytes(path("truncated.mdb"), FileBytes(path("whole.mdb")).left(1000));
    // In a folder anyone may write.
    CreateDatabase(path("shared/readonly.mdb"));
    SetMode(path("shared"), 0777);
    SetMode(path("shared/readonly.mdb"), 0444);
    // A folder where the file may be written but no journal made: a file without a write-ahead log, and
    // the console's own.
    MakeKeyedFile(path("locked/plain.mdb"), kDatabaseKey);
    CreateDatabase(path("locked/Kestrova.mdb"));
    for (const char* name : {"other.mdb", "plain.mdb", "text.mdb", "empty.mdb", "truncated.mdb", "locked/plain.mdb",
                             "locked/Kestrova.mdb"}) {
        SetMode(path(name), 0666);
    }
    const Permissions lockedFolder(path("locked"), 0555);
    {
        const OrdinaryUser user;
        if (!user.active()) {
            GTEST_SKIP() << "running as root without the right to act as another user";
        }

        const QString notADatabase = QStringLiteral("file is encrypted or is not a database");
        const QString cannotOpen = QStringLiteral("unable to open database file");
        const QString readOnly = QStringLiteral("attempt to write a readonly database");
        const std::vector<std::pair<QString, QString>> cases = {
            {path("other.mdb"), notADatabase},          {path("plain.mdb"), notADatabase},
            {path("text.mdb"), notADatabase},           {path("truncated.mdb"), notADatabase},
            {path("empty.mdb"), notADatabase},          {path("missing.mdb"), cannotOpen},
            {path("nowhere/Kestrova.mdb"), cannotOpen}, {path("shared/readonly.mdb"), readOnly},
            {path("locked/plain.mdb"), cannotOpen},     {path("locked/Kestrova.mdb"), cannotOpen},
        };
        for (const auto& [file, message] : cases) {
            SCOPED_TRACE(file.toStdString());
            clsDBLib db;
            ExpectRuntimeError([&] { db.OpenConnection(file); }, file + QStringLiteral(": ") + message);
            EXPECT_FALSE(db.isOpen());
        }
    }
    // Nothing is created, and the right key still opens the first one.
    EXPECT_FALSE(QFileInfo::exists(path("missing.mdb")));
    EXPECT_FALSE(QFileInfo::exists(path("shared/readonly.mdb-shm"))) << "left behind, it would refuse the next start";
    EXPECT_FALSE(QFileInfo::exists(path("nowhere")));
    EXPECT_EQ(FileBytes(path("empty.mdb")), QByteArray());
    SqlConnection connection;
    EXPECT_NO_THROW(connection.open(path("other.mdb"), "1234", SqlConnection::OpenMode::ExistingOnly));
}

TEST(OpenConnection, DatabaseFile_IsEncryptedOnDisk) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("PLAINTEXT-PLATE"), QStringLiteral("0912345678"));
    t.raw.close();
    t.db.CloseConnection();
    const QByteArray bytes = FileBytes(t.path);
    ASSERT_GT(bytes.size(), 1024);
    EXPECT_FALSE(bytes.startsWith(QByteArray("SQLite format 3", 16)));
    EXPECT_FALSE(bytes.contains("PLAINTEXT-PLATE"));
    EXPECT_FALSE(bytes.contains("CommLog")) << "the schema is encrypted too";
    EXPECT_FALSE(QFileInfo::exists(t.path + QStringLiteral("-wal")) &&
                 FileBytes(t.path + QStringLiteral("-wal")).contains("PLAINTEXT-PLATE"));
}

TEST(OpenConnection, ReopenAndClose_FollowTheConnectionState) {
    TempDatabase t;
    ExpectRuntimeError([&] { t.db.OpenConnection(t.path); }, kConnectionOpen);
    t.db.CloseConnection();
    EXPECT_FALSE(t.db.isOpen());
    ExpectRuntimeError([&] { t.db.CloseConnection(); }, kConnectionClosed);
    ExpectRuntimeError([&] { t.addVehicle(QStringLiteral("A"), QStringLiteral("1")); }, kConnectionClosed);
    ExpectRuntimeError([&] { t.db.OpenVehicleRecordset(); }, kConnectionClosed);
    ExpectRuntimeError([&] { t.db.GetMapReportRecordset(); }, kConnectionClosed);
    t.db.OpenConnection(t.path);
    t.addVehicle(QStringLiteral("A"), QStringLiteral("1"));
    EXPECT_EQ(ReadVehicles(t.db).size(), 1u);
}

TEST(Statements, RejectedByTheDatabase_CarryTheFileAndSQLitesMessage) {
    TempDatabase t;
    const QString file = t.path + QStringLiteral(": ");
    t.raw.execute(QStringLiteral("DROP TABLE CommLog; DROP TABLE Coordinate; ALTER TABLE Vehicle RENAME TO Old"));
    ExpectRuntimeError([&] { t.db.DeleteCommLog(QStringLiteral("1"), QStringLiteral("2")); },
                       file + QStringLiteral("no such table: CommLog"));
    EXPECT_EQ(t.db.strSQL(), QStringLiteral("DELETE FROM CommLog WHERE PlateNumber='1' AND DialTime<='2'"))
        << "strSQL keeps the failed statement";
    ExpectRuntimeError([&] { t.db.OpenCoordinateRecordset(); }, file + QStringLiteral("no such table: Coordinate"));
    ExpectRuntimeError([&] { t.db.OpenVehicleRecordset(); }, file + QStringLiteral("no such table: Vehicle"));
    ExpectRuntimeError([&] { t.db.DeleteVehicle(QStringLiteral("A")); },
                       file + QStringLiteral("no such table: CommLog"));
    // A failed delete leaves the connection usable.
    EXPECT_NO_THROW(t.db.GetMapReportRecordset());
    // A failure while the statement runs (not while it is prepared) carries its own message too.
    ExpectRuntimeError([&] { t.raw.run(QStringLiteral("INSERT INTO MapReport (SeqNO) VALUES (?)"), {qint64(1)}); },
                       file + QStringLiteral("UNIQUE constraint failed: MapReport.SeqNO"));
}

TEST(Walks, OneAtATime_CoordinateWalkReplacesTheVehicleWalk) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("KS-1"), QStringLiteral("0912"));
    t.raw.execute(QStringLiteral("INSERT INTO Coordinate (X,Y,Kind,Explanation) VALUES (121.5,25.5,' 2 ',' 加油站 '),"
                                 "(121.6,25.6,NULL,NULL)"));
    FetchedVehicle v;
    ExpectRuntimeError([&] { v.fetch(t.db); }, kNoRecordset);
    ExpectRuntimeError([&] { t.db.CloseVehicleRecordset(); }, kNoRecordset);

    t.db.OpenVehicleRecordset();
    t.db.OpenCoordinateRecordset();
    ExpectRuntimeError([&] { v.fetch(t.db); }, kItemNotFound);
    int16_t seqNo = -1;
    double x = -1, y = -1;
    QString kind, explanation;
    ASSERT_TRUE(t.db.FetchCoordinateRecord(seqNo, x, y, kind, explanation));
    EXPECT_EQ(seqNo, 1);
    EXPECT_EQ(x, 121.5);
    EXPECT_EQ(y, 25.5);
    EXPECT_EQ(kind, QStringLiteral("2"));
    EXPECT_EQ(explanation, QStringLiteral("加油站"));
    ASSERT_TRUE(t.db.FetchCoordinateRecord(seqNo, x, y, kind, explanation));
    EXPECT_EQ(kind, QString());
    EXPECT_EQ(explanation, QString());
    EXPECT_FALSE(t.db.FetchCoordinateRecord(seqNo, x, y, kind, explanation));
    EXPECT_EQ(seqNo, 2);
    t.db.CloseVehicleRecordset();
    int16_t s = 0;
    ExpectRuntimeError([&] { t.db.FetchCoordinateRecord(s, x, y, kind, explanation); }, kNoRecordset);

    // A walk opened again starts from the first row.
    t.db.OpenVehicleRecordset();
    ASSERT_TRUE(v.fetch(t.db));
    EXPECT_FALSE(v.fetch(t.db));
    t.db.OpenVehicleRecordset();
    EXPECT_TRUE(v.fetch(t.db));
    t.db.CloseVehicleRecordset();
}

TEST(Walks, EmptyCoordinateTable_EndsAtOnce) {
    TempDatabase t;
    t.db.OpenCoordinateRecordset();
    int16_t seqNo = -1;
    double x = -1, y = -1;
    QString kind = QStringLiteral("kept"), explanation;
    EXPECT_FALSE(t.db.FetchCoordinateRecord(seqNo, x, y, kind, explanation));
    EXPECT_EQ(kind, QStringLiteral("kept"));
    t.db.CloseVehicleRecordset();
}

TEST(Walks, CloseConnection_EndsAnOpenWalk) {
    TempDatabase t;
    t.addVehicle(QStringLiteral("KS-1"), QStringLiteral("0912"));
    t.db.OpenVehicleRecordset();
    EXPECT_NO_THROW(t.db.CloseConnection());
    t.db.OpenConnection(t.path);
    FetchedVehicle v;
    ExpectRuntimeError([&] { v.fetch(t.db); }, kNoRecordset);
}
