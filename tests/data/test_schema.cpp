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
    QStringList indexed;
    SqlStatement index = t.raw.prepare(QStringLiteral("PRAGMA index_info(CommLog_PlateNumber_DialTime)"));
    while (index.step()) {
        indexed << index.text(2);
    }
    EXPECT_EQ(indexed, QStringList({"PlateNumber", "DialTime"}));
    // The track query runs on that index.
    SqlStatement plan = t.raw.prepare(QStringLiteral(
        "EXPLAIN QUERY PLAN SELECT * FROM CommLog WHERE PlateNumber='1' AND DialTime>='a' AND DialTime<='b' "
        "AND X>0 ORDER BY DialTime"));
    QString details;
    while (plan.step()) {
        details += plan.text(3) + u'\n';
    }
    EXPECT_TRUE(details.contains(QStringLiteral("CommLog_PlateNumber_DialTime"))) << details.toStdString();
    EXPECT_FALSE(details.contains(QStringLiteral("TEMP B-TREE"))) << details.toStdString();
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
