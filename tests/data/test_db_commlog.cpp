#include "temp_database.h"

#include "data/data_errors.h"

using namespace kestrova;

namespace {

// The whole day's query for one terminal with wide speed and offset bounds.
ResultSet QueryDay(TempDatabase& t, const QString& terminal, const QString& day) {
    return t.db.GetCommLogRecordSet(terminal, day + QStringLiteral(" 00:00:00"), day + QStringLiteral(" 99:99:99"), 0,
                                    100000, 0, 100000);
}

// The terminal's fixes as this connection sees them.
int StoredFixes(TempDatabase& t, const QString& terminal) {
    return t.db.GetCommLogRecordSet(terminal, QStringLiteral("0"), QStringLiteral("9"), -1e9f, 1e9f, -1e9f, 1e9f)
        .rowCount();
}

QStringList Column(ResultSet rs, const QString& name) {
    QStringList values;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        values << FieldText(rs.field(name));
    }
    return values;
}

} // namespace

TEST(InsertCommLog, Values_StoredByPositionTrimmedAndRounded) {
    TempDatabase t;
    t.db.InsertCommLog(QStringLiteral(" 0912 "), QStringLiteral(" 2024/03/05 10:11:12 "), QStringLiteral("即時位置"),
                       QStringLiteral("東經"), 121.56123, QStringLiteral(" 北緯 "), 25.03456, 42.5f, 90.5f, 12.125f,
                       QStringLiteral("00002"), QStringLiteral(" O'Neil 路 "));
    EXPECT_EQ(t.db.strSQL(),
              QStringLiteral("INSERT INTO CommLog VALUES ('0912','2024/03/05 10:11:12','即時位置','東經',"
                             "121.56123,'北緯',25.03456,42.5,90.5,12.12,'00002','O''Neil 路' )"));
    {
        SqlStatement row = t.raw.prepare(QStringLiteral("SELECT * FROM CommLog"));
        ASSERT_TRUE(row.step());
        ASSERT_EQ(row.columnCount(), 12);
        EXPECT_EQ(row.text(0), QStringLiteral("0912"));
        EXPECT_EQ(row.text(1), QStringLiteral("2024/03/05 10:11:12"));
        EXPECT_EQ(row.text(5), QStringLiteral("北緯"));
        EXPECT_EQ(row.real(4), 121.56123);
        EXPECT_EQ(static_cast<float>(row.real(9)), 12.12f);
        EXPECT_EQ(row.text(11), QStringLiteral("O'Neil 路"));
    }

    t.addLog(QStringLiteral("0912"), QStringLiteral("2024/03/05 10:11:13"), 121, 25, 0, 0, 12.375f);
    EXPECT_EQ(static_cast<float>(std::get<double>(
                  t.scalar(QStringLiteral("SELECT Offset FROM CommLog WHERE DialTime='2024/03/05 10:11:13'")))),
              12.38f);
}

TEST(DeleteCommLog, RowsAtOrBeforeTheCutOff_OfThatTerminalOnly) {
    TempDatabase t;
    for (const char* time : {"2024/01/01 00:00:00", "2024/01/02 00:00:00", "2024/01/02 00:00:01"}) {
        t.addLog(QStringLiteral("0911"), QString::fromLatin1(time));
        t.addLog(QStringLiteral("0922"), QString::fromLatin1(time));
    }
    t.db.DeleteCommLog(QStringLiteral("0911"), QStringLiteral("2024/01/02 00:00:00"));
    EXPECT_EQ(t.db.strSQL(),
              QStringLiteral("DELETE FROM CommLog WHERE PlateNumber='0911' AND DialTime<='2024/01/02 00:00:00'"));
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("PlateNumber='0911'")), 1);
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("PlateNumber='0922'")), 3);
}

// A report's delete and insert reach the file together: another connection (or the next run, after a
// crash between the two) sees neither before the commit, and a failed insert leaves the old rows.
TEST(DeleteCommLog, WithItsInsertInOneTransaction) {
    TempDatabase t;
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/02 00:00:00"));
    const QString terminal = QStringLiteral("PlateNumber='0911'");
    const auto insert = [&](const QString& time, const QString& position) {
        t.db.InsertCommLog(QStringLiteral("0911"), time, QString(), QString(), 1, QString(), 1, 0, 0, 0, QString(),
                           position);
    };
    {
        SqlTransaction report = t.db.BeginTransaction();
        t.db.DeleteCommLog(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"));
        insert(QStringLiteral("2024/01/03 00:00:00"), QString());
        EXPECT_EQ(t.count(QStringLiteral("CommLog"), terminal), 2);
        EXPECT_EQ(StoredFixes(t, QStringLiteral("0911")), 2);
        report.commit();
    }
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), QStringLiteral("DialTime>'2024/01/01 00:00:00'")), 2);

    // The insert refused: the delete is undone with it, and the connection goes on.
    t.raw.execute(QStringLiteral("CREATE TRIGGER Refuse BEFORE INSERT ON CommLog WHEN NEW.Position='refused' "
                                 "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    ExpectRuntimeError(
        [&] {
            SqlTransaction report = t.db.BeginTransaction();
            t.db.DeleteCommLog(QStringLiteral("0911"), QStringLiteral("2024/12/31 00:00:00"));
            insert(QStringLiteral("2024/01/04 00:00:00"), QStringLiteral("refused"));
            report.commit();
        },
        t.path + QStringLiteral(": refused"));
    EXPECT_EQ(StoredFixes(t, QStringLiteral("0911")), 2);
    insert(QStringLiteral("2024/01/05 00:00:00"), QString());
    EXPECT_EQ(t.count(QStringLiteral("CommLog"), terminal), 3);
}

TEST(DeleteCommLog, Values_ComparedUntrimmed) {
    TempDatabase t;
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/01/01 00:00:00"));
    t.addLog(QStringLiteral("O'Neil"), QStringLiteral("2024/01/01 00:00:00"));
    t.db.DeleteCommLog(QStringLiteral(" 0911"), QStringLiteral("2025/01/01 00:00:00"));
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 2) << "' 0911' is another terminal";
    // A leading blank sorts before every digit: the cut-off lies before all rows.
    t.db.DeleteCommLog(QStringLiteral("0911"), QStringLiteral(" 2025/01/01 00:00:00"));
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 2);
    t.db.DeleteCommLog(QStringLiteral("O'Neil"), QStringLiteral("2024/01/01 00:00:00"));
    EXPECT_EQ(t.db.strSQL(),
              QStringLiteral("DELETE FROM CommLog WHERE PlateNumber='O''Neil' AND DialTime<='2024/01/01 00:00:00'"));
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 1);
}

TEST(GetCommLogRecordSet, DayUpperBound_TakesEveryTimeOfThatDayOnly) {
    TempDatabase t;
    const char* times[] = {"2024/03/04 23:59:59", "2024/03/05 00:00:00", "2024/03/05 12:00:00", "2024/03/05 23:59:59",
                           "2024/03/06 00:00:00"};
    for (const char* time : times) {
        t.addLog(QStringLiteral("0911"), QString::fromLatin1(time));
    }
    t.addLog(QStringLiteral("0922"), QStringLiteral("2024/03/05 12:00:00"));
    EXPECT_EQ(Column(QueryDay(t, QStringLiteral("0911"), QStringLiteral("2024/03/05")), QStringLiteral("DialTime")),
              QStringList({"2024/03/05 00:00:00", "2024/03/05 12:00:00", "2024/03/05 23:59:59"}));
}

TEST(GetCommLogRecordSet, Rows_InTimeOrderWithoutFailureRows) {
    TempDatabase t;
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 10:00:00"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 09:00:00"));
    // Failure rows: no position.
    t.db.InsertCommLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 09:30:00"), QStringLiteral("未撥通"),
                       QString(), 0, QString(), 0, 0, 0, 0, QStringLiteral("00002"), QStringLiteral("somewhere"));
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 09:45:00"), 121.5, 0);
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 09:46:00"), 0, 25.0);
    EXPECT_EQ(Column(QueryDay(t, QStringLiteral("0911"), QStringLiteral("2024/03/05")), QStringLiteral("DialTime")),
              QStringList({"2024/03/05 09:00:00", "2024/03/05 10:00:00"}));
    EXPECT_EQ(t.count(QStringLiteral("CommLog")), 5) << "failure rows are stored";
}

TEST(GetCommLogRecordSet, SpeedAndOffsetBounds_IncludeTheirEnds) {
    TempDatabase t;
    const float speeds[] = {9.9f, 10, 12.3f, 20, 20.1f};
    int second = 0;
    for (float speed : speeds) {
        t.addLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 10:00:%1").arg(second++, 2, 10, QChar(u'0')), 121.5,
                 25, speed, 0, speed);
    }
    ResultSet rs = t.db.GetCommLogRecordSet(QStringLiteral(" 0911 "), QStringLiteral(" 2024/03/05 00:00:00 "),
                                            QStringLiteral("2024/03/05 99:99:99"), 10, 20, 0, 1000);
    EXPECT_EQ(Column(rs.clone(), QStringLiteral("Speed")), QStringList({"10", "12.3", "20"}));
    rs = t.db.GetCommLogRecordSet(QStringLiteral("0911"), QStringLiteral("2024/03/05 00:00:00"),
                                  QStringLiteral("2024/03/05 99:99:99"), 0, 1000, 12.3f, 20.1f);
    EXPECT_EQ(Column(rs.clone(), QStringLiteral("Offset_1")), QStringList({"12.30 m", "20 m", "20.10 m"}));
    EXPECT_EQ(t.db.strSQL(),
              QStringLiteral("SELECT PlateNumber,DialTime,CheckPoint,EW,X,NS,Y,[Position],Speed,Direction,Offset,"
                             "Healthy,rowid FROM CommLog WHERE PlateNumber='0911' AND DialTime>='2024/03/05 00:00:00' "
                             "AND DialTime<='2024/03/05 99:99:99' AND Speed>=0 AND Speed<=1000 AND Offset>=12.3 "
                             "AND Offset<=20.1 AND X>0 AND Y>0 ORDER BY DialTime"));
}

TEST(GetCommLogRecordSet, NoVehicle_GivesAnEmptyResultWithTheColumns) {
    TempDatabase t;
    t.addLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 10:00:00"));
    const ResultSet rs = t.db.GetCommLogRecordSet(QString(), QString(), QString(), 0, 0, 0, 0);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.columnCount(), 17);
}

TEST(GetCommLogRecordSet, Columns_InOrderWithTheirComputedValues) {
    TempDatabase t;
    t.db.InsertCommLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 10:11:12"), QStringLiteral("最後位置"),
                       QStringLiteral("西經"), 121.5, QStringLiteral("南緯"), 25.999, 12, 22.5f, 1234.5f,
                       QStringLiteral("00012"), QStringLiteral("河濱公園"));
    t.db.InsertCommLog(QStringLiteral("0911"), QStringLiteral("2024/03/05 10:11:13"), QStringLiteral("即時位置"),
                       QStringLiteral("東經"), 121.0001, QStringLiteral("北緯"), 25.25, 12.5f, 359, 0,
                       QStringLiteral("00000"), QString());
    ResultSet rs = QueryDay(t, QStringLiteral("0911"), QStringLiteral("2024/03/05"));
    const QStringList names = {"PlateNumber", "DialTime_1",  "DialTime",  "CheckPoint", "EWX",      "EW",
                               "X",           "NSY",         "NS",        "Y",          "Position", "Speed_1",
                               "Speed",       "Direction_1", "Direction", "Offset_1",   "Healthy"};
    ASSERT_EQ(rs.columnCount(), names.size());
    for (int i = 0; i < rs.columnCount(); ++i) {
        EXPECT_EQ(rs.column(i).name, names[i]);
    }
    EXPECT_EQ(rs.column(1).type, FieldType::DateTime);
    EXPECT_EQ(rs.column(6).type, FieldType::Double);
    EXPECT_EQ(rs.column(12).type, FieldType::Single);
    ASSERT_EQ(rs.rowCount(), 2);

    EXPECT_EQ(std::get<QDateTime>(rs.field(u"DialTime_1")), QDateTime(QDate(2024, 3, 5), QTime(10, 11, 12), Qt::UTC));
    EXPECT_EQ(FieldText(rs.field(u"EWX")), QStringLiteral("西經 121° 30' 00\""));
    EXPECT_EQ(FieldText(rs.field(u"NSY")), QStringLiteral("南緯 25° 59' 56\""));
    EXPECT_EQ(FieldText(rs.field(u"Speed_1")), QStringLiteral("12 km"));
    EXPECT_EQ(std::get<float>(rs.field(u"Speed")), 12.0f);
    EXPECT_EQ(FieldText(rs.field(u"Direction_1")), QStringLiteral("東北"));
    EXPECT_EQ(FieldText(rs.field(u"Offset_1")), QStringLiteral("1,234.50 m"));
    EXPECT_EQ(FieldText(rs.field(u"Position")), QStringLiteral("河濱公園"));
    EXPECT_EQ(FieldText(rs.field(u"Healthy")), QStringLiteral("00012"));
    rs.moveNext();
    // 0.0001 degrees is 0.36 seconds: rounds to 00.
    EXPECT_EQ(FieldText(rs.field(u"EWX")), QStringLiteral("東經 121° 00' 00\""));
    EXPECT_EQ(FieldText(rs.field(u"NSY")), QStringLiteral("北緯 25° 15' 00\""));
    EXPECT_EQ(FieldText(rs.field(u"Speed_1")), QStringLiteral("12.50 km"));
    EXPECT_EQ(FieldText(rs.field(u"Direction_1")), QStringLiteral("北"));
    EXPECT_EQ(FieldText(rs.field(u"Offset_1")), QStringLiteral("0 m"));
    EXPECT_EQ(FieldText(rs.field(u"Position")), QString());
}

TEST(GetCommLogRecordSet, OddStoredValues_GiveNullCellsNotErrors) {
    TempDatabase t;
    t.raw.execute(QStringLiteral("INSERT INTO CommLog VALUES ('0911','2024/03/05 1',NULL,NULL,1.5,NULL,2.5,"
                                 "3,NULL,4,NULL,NULL)"));
    t.raw.execute(QStringLiteral("INSERT INTO CommLog VALUES ('0911','2024/03/05 10:00:00','x','E',1.5,'N',2.5,"
                                 "3,-30,4,'0','p')"));
    ResultSet rs = QueryDay(t, QStringLiteral("0911"), QStringLiteral("2024/03/05"));
    ASSERT_EQ(rs.rowCount(), 2);
    EXPECT_EQ(FieldText(rs.field(u"DialTime")), QStringLiteral("2024/03/05 1"));
    EXPECT_EQ(std::get<QDateTime>(rs.field(u"DialTime_1")), QDateTime(QDate(2024, 3, 5), QTime(1, 0), Qt::UTC));
    EXPECT_EQ(TypeOf(rs.field(u"CheckPoint")), FieldType::Null);
    EXPECT_EQ(FieldText(rs.field(u"EWX")), QStringLiteral(" 1° 30' 00\"")) << "a Null hemisphere joins as empty";
    EXPECT_EQ(TypeOf(rs.field(u"Direction_1")), FieldType::Null);
    EXPECT_EQ(TypeOf(rs.field(u"Direction")), FieldType::Null);
    EXPECT_EQ(TypeOf(rs.field(u"Healthy")), FieldType::Null);
    rs.moveTo(1);
    EXPECT_EQ(TypeOf(rs.field(u"Direction_1")), FieldType::Null) << "a negative heading has no sector";
}

TEST(GetMapReportRecordset, NewDatabase_HasOneRow) {
    TempDatabase t;
    ResultSet rs = t.db.GetMapReportRecordset();
    EXPECT_EQ(t.db.strSQL(), QStringLiteral("SELECT * FROM MapReport"));
    EXPECT_EQ(rs.rowCount(), 1);
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(rs.column(0).type, FieldType::Integer);
    EXPECT_EQ(std::get<qint64>(rs.field(0)), 1);
}
