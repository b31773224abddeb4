#include "temp_database.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace kestrova;

namespace {

QStringList ColumnsOf(SqlConnection& connection, const QString& table) {
    QStringList names;
    SqlStatement info = connection.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (info.step()) {
        names << info.text(1);
    }
    return names;
}

QStringList IndexesOf(SqlConnection& connection, const QString& table) {
    QStringList names;
    SqlStatement list = connection.prepare(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=? ORDER BY name"));
    const SqlValue values[] = {table};
    list.bindAll(values);
    while (list.step()) {
        names << list.text(0);
    }
    return names;
}

// The track query reads whole rows from the CommLog index alone, in its order, and never the table.
void ExpectTrackQueryOnItsIndex(clsDBLib& db, SqlConnection& raw) {
    QStringList indexed;
    SqlStatement index = raw.prepare(QStringLiteral("PRAGMA index_info(CommLog_Track)"));
    while (index.step()) {
        indexed << index.text(2);
    }
    EXPECT_EQ(indexed, QStringList({"PlateNumber", "DialTime", "CheckPoint", "EW", "X", "NS", "Y", "Speed", "Direction",
                                    "Offset", "Healthy", "Position"}));
    db.GetCommLogRecordSet(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"),
                           QStringLiteral("2024/01/31 99:99:99"), 0, 1000, 0, 1000);
    SqlStatement plan = raw.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + db.strSQL());
    QString details;
    while (plan.step()) {
        details += plan.text(3) + u'\n';
    }
    EXPECT_TRUE(details.startsWith(QStringLiteral("SEARCH TABLE CommLog USING COVERING INDEX CommLog_Track "
                                                  "(PlateNumber=? AND DialTime>? AND DialTime<?)")))
        << details.toStdString();
}

// Every CommLog row with its rowid, Nulls told from empty texts, in the order of the table.
QStringList StoredLog(SqlConnection& connection) {
    QStringList rows;
    SqlStatement all = connection.prepare(QStringLiteral("SELECT rowid,* FROM CommLog ORDER BY rowid"));
    while (all.step()) {
        QStringList values;
        for (int i = 0; i < all.columnCount(); ++i) {
            values << (all.isNull(i) ? QStringLiteral("NULL") : all.text(i));
        }
        rows << values.join(u'|');
    }
    return rows;
}

// A database as earlier builds made it: the same tables, CommLog indexed on terminal and time only. Its
// log is written in call order, with three reports of one second, twin rows, a failure row and Nulls.
SqlConnection EarlierBuildDatabase(const QString& path) {
    CreateDatabase(path);
    SqlConnection raw;
    raw.open(path, QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
    raw.execute(QStringLiteral("DROP INDEX CommLog_Track;"
                               "CREATE INDEX CommLog_PlateNumber_DialTime ON CommLog (PlateNumber, DialTime)"));
    raw.execute(QString::fromUtf8(R"sql(
INSERT INTO CommLog VALUES ('0911','2024/03/05 09:00:00','即時位置','東經',121.5,'北緯',25,10,0,0,'00000','a');
INSERT INTO CommLog VALUES ('0922','2024/03/05 09:00:01','即時位置','東經',121.6,'北緯',25,10,0,0,'00000','b');
INSERT INTO CommLog VALUES ('0911','2024/03/05 09:00:00','即時位置','東經',121.5,'北緯',25,10,0,0,'00000','a');
INSERT INTO CommLog VALUES ('0911','2024/03/05 09:30:00','未撥通','',0,'',0,0,0,0,'00002','a');
INSERT INTO CommLog VALUES ('0911',NULL,NULL,NULL,1,NULL,1,NULL,NULL,NULL,NULL,NULL);
INSERT INTO CommLog VALUES ('0911','2024/03/05 10:00:00','最後位置','東經',121.7,'北緯',25,20,0,5,'00000','c');
INSERT INTO CommLog VALUES ('0911','2024/03/05 10:00:00','即時位置','東經',121.8,'北緯',25,30,0,6,'00000','d');
INSERT INTO CommLog VALUES ('0911','2024/03/05 10:00:00','即時位置','東經',121.75,'北緯',25,30,0,6,'00000','f');
INSERT INTO CommLog VALUES ('0922','2024/03/05 10:00:01','即時位置','東經',121.6,'北緯',25,10,0,0,'00000','b');
)sql"));
    return raw;
}

// The track of 0911 on 2024/03/05 as DialTime, CheckPoint and Position.
QStringList DayOf0911(clsDBLib& db) {
    ResultSet rs = db.GetCommLogRecordSet(QStringLiteral("0911"), QStringLiteral("2024/03/05 00:00:00"),
                                          QStringLiteral("2024/03/05 99:99:99"), 0, 1000, 0, 1000);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext()) {
        rows << QStringList({FieldText(rs.field(u"DialTime")), FieldText(rs.field(u"CheckPoint")),
                             FieldText(rs.field(u"Position"))})
                    .join(u' ');
    }
    return rows;
}

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun RunNewDb(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(KESTROVA_BINARY_DIR "/tools/newdb/kestrova-newdb"), arguments);
    if (!process.waitForFinished(60000)) {
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

} // namespace

TEST(CreateDatabase, NewFile_HasTheFourTablesInAWriteAheadLog) {
    TempDatabase t;
    EXPECT_EQ(ColumnsOf(t.raw, QStringLiteral("CommLog")),
              QStringList({"PlateNumber", "DialTime", "CheckPoint", "EW", "X", "NS", "Y", "Speed", "Direction",
                           "Offset", "Healthy", "Position"}));
    EXPECT_EQ(ColumnsOf(t.raw, QStringLiteral("Coordinate")), QStringList({"SeqNO", "X", "Y", "Kind", "Explanation"}));
    EXPECT_EQ(t.count(QStringLiteral("MapReport")), 1);
    EXPECT_EQ(FieldText(t.scalar(QStringLiteral("PRAGMA journal_mode"))), QStringLiteral("wal"));
    EXPECT_EQ(ColumnsOf(t.raw, QStringLiteral("Vehicle")).size(), 24);
    EXPECT_EQ(IndexesOf(t.raw, QStringLiteral("CommLog")), QStringList({"CommLog_Track"}));
    ExpectTrackQueryOnItsIndex(t.db, t.raw);
}

TEST(CreateDatabase, ExistingFileOrJournal_IsRefusedAndKept) {
    QTemporaryDir folder;
    const QString path = DatabasePath(folder.path());
    CreateDatabase(path);
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ExpectRuntimeError([&] { CreateDatabase(path); }, path + QStringLiteral(" already exists; it is not overwritten"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);

    const QString other = folder.path() + QStringLiteral("/other.mdb");
    QFile journal(other + QStringLiteral("-wal"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.close();
    ExpectRuntimeError([&] { CreateDatabase(other); },
                       other + QStringLiteral("-wal already exists; it is not overwritten"));
    EXPECT_FALSE(QFileInfo::exists(other));
}

TEST(UpgradeDatabase, EarlierFile_GetsTheTrackIndexAtItsFirstOpenAndKeepsEveryRowAndItsOrder) {
    QTemporaryDir folder;
    const QString path = DatabasePath(folder.path());
    SqlConnection raw = EarlierBuildDatabase(path);
    const QStringList stored = StoredLog(raw);

    clsDBLib db;
    db.OpenConnection(path);
    EXPECT_EQ(IndexesOf(raw, QStringLiteral("CommLog")), QStringList({"CommLog_Track"}));
    EXPECT_EQ(StoredLog(raw), stored);
    EXPECT_EQ(QFileInfo(path + QStringLiteral("-wal")).size(), 0) << "the index is moved out of the log";
    ExpectTrackQueryOnItsIndex(db, raw);
    // As an earlier build listed them: twins both, and the reports of one second as they were logged.
    EXPECT_EQ(DayOf0911(db), QStringList({"2024/03/05 09:00:00 即時位置 a", "2024/03/05 09:00:00 即時位置 a",
                                          "2024/03/05 10:00:00 最後位置 c", "2024/03/05 10:00:00 即時位置 d",
                                          "2024/03/05 10:00:00 即時位置 f"}));

    // Upgraded once: the next open finds it done, and the log is written and read as before.
    db.CloseConnection();
    db.OpenConnection(path);
    db.DeleteCommLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 09:00:00"));
    db.InsertCommLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 11:00:00"), QStringLiteral("即時位置"),
                     QStringLiteral("東經"), 121.9, QStringLiteral("北緯"), 25, 40, 0, 7, QStringLiteral("00000"),
                     QStringLiteral("e"));
    EXPECT_EQ(DayOf0911(db), QStringList({"2024/03/05 10:00:00 最後位置 c", "2024/03/05 10:00:00 即時位置 d",
                                          "2024/03/05 10:00:00 即時位置 f", "2024/03/05 11:00:00 即時位置 e"}));
    EXPECT_EQ(IndexesOf(raw, QStringLiteral("CommLog")), QStringList({"CommLog_Track"}));
    EXPECT_EQ(StoredLog(raw).size(), stored.size() - 1);
}

TEST(UpgradeDatabase, IndexThatCannotBeMade_FailsTheOpenAndLeavesTheFileAsItWas) {
    QTemporaryDir folder;
    const QString path = DatabasePath(folder.path());
    SqlConnection raw = EarlierBuildDatabase(path);
    raw.execute(QStringLiteral("CREATE TABLE CommLog_Track (a)"));
    const QStringList stored = StoredLog(raw);
    clsDBLib db;
    ExpectRuntimeError([&] { db.OpenConnection(path); },
                       path + QStringLiteral(": there is already a table named CommLog_Track"));
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(IndexesOf(raw, QStringLiteral("CommLog")), QStringList({"CommLog_PlateNumber_DialTime"}));
    EXPECT_EQ(StoredLog(raw), stored);
}

TEST(NewDbTool, Demo_GivesVehiclesOfEveryStyleAndLandmarks) {
    QTemporaryDir folder;
    const QString program = folder.path() + QStringLiteral("/kestrova");
    const ToolRun run = RunNewDb({QStringLiteral("--demo"), program});
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    clsDBLib db;
    db.OpenConnection(DatabasePath(program));
    const auto vehicles = ReadVehicles(db);
    EXPECT_GE(vehicles.size(), 8u);
    QSet<int> styles;
    int dialled = 0;
    for (const FetchedVehicle& v : vehicles) {
        styles.insert(v.CarType);
        dialled += v.Dial ? 1 : 0;
        EXPECT_FALSE(v.PhoneNumber.isEmpty());
        EXPECT_EQ(v.Healthy, kHealthyNew);
    }
    EXPECT_EQ(styles, QSet<int>({0, 1, 2, 3}));
    EXPECT_GT(dialled, 0);
    EXPECT_LT(dialled, static_cast<int>(vehicles.size()));

    db.OpenCoordinateRecordset();
    int16_t seqNo = 0;
    double x = 0, y = 0;
    QString kind, explanation;
    int landmarks = 0;
    while (db.FetchCoordinateRecord(seqNo, x, y, kind, explanation)) {
        ++landmarks;
        EXPECT_NEAR(x, 121.56, 0.02);
        EXPECT_NEAR(y, 25.03, 0.02);
        EXPECT_TRUE(kind == u"1" || kind == u"2" || kind == u"3");
        EXPECT_FALSE(explanation.isEmpty());
    }
    db.CloseVehicleRecordset();
    EXPECT_GE(landmarks, 5);
}

TEST(NewDbTool, ExistingDatabaseOrNoFolder_FailsAndSaysSo) {
    QTemporaryDir folder;
    ASSERT_EQ(RunNewDb({folder.path()}).exitCode, 0);
    const ToolRun again = RunNewDb({QStringLiteral("--demo"), folder.path()});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.output.contains(QStringLiteral("already exists"))) << again.output.toStdString();
    clsDBLib db;
    db.OpenConnection(DatabasePath(folder.path()));
    EXPECT_TRUE(ReadVehicles(db).empty()) << "the existing database was not touched";

    EXPECT_EQ(RunNewDb({}).exitCode, 2);
}
