#include "startup/ordinary_user.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "track/track_files.h"
#include "track/track_rows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>
#include <sys/stat.h>

using namespace kestrova;
using kestrova::test::TrackPoint;
using kestrova::test::TrackRows;

namespace {

const CodePage kUtf8("UTF-8");

// Four rows over three days: the Part's example, a latitude below 10 degrees, the next day, and the last
// second of the day after.
ResultSet ThreeDays() {
    return TrackRows({{"2007/03/05 14:03:22", 25.03333, 121.56543},
                      {"2007/03/05 14:13:22", 5.03333, 121.5},
                      {"2007/03/06 08:00:00", 25.1, 121.6},
                      {"2007/03/07 23:59:59", 25.123456789, 121.0000001}});
}

const QByteArray kTrkHeader = "H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track\r\n";

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void PutFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

ino_t Inode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

TEST(TrackFiles, TrackText_DatumThenOneLinePerRow) {
    ResultSet rs = ThreeDays();
    EXPECT_EQ(TrackText(rs, kUtf8), QByteArray("Datum,WGS84,WGS84,0,0,0,0,0\r\n"
                                               "TP,D, 25.033330000, 121.565430000, 07/03/05,14:03:22,0\r\n"
                                               "TP,D, 5.033330000, 121.500000000, 07/03/05,14:13:22,0\r\n"
                                               "TP,D, 25.100000000, 121.600000000, 07/03/06,08:00:00,0\r\n"
                                               "TP,D, 25.123456789, 121.000000100, 07/03/07,23:59:59,0\r\n"));
    EXPECT_TRUE(rs.eof());
}

TEST(TrackFiles, TrackTrk_OneHeaderPerDay_EmptyLineBetweenDays_FixedColumns) {
    ResultSet rs = ThreeDays();
    const QByteArray expected = kTrkHeader +
                                "T  +25.0333300 +121.5654300 05-MAR-07 14:03:22 -9999\r\n"
                                "T  +5.0333300  +121.5000000 05-MAR-07 14:13:22 -9999\r\n"
                                "\r\n" +
                                kTrkHeader +
                                "T  +25.1000000 +121.6000000 06-MAR-07 08:00:00 -9999\r\n"
                                "\r\n" +
                                kTrkHeader + "T  +25.1234568 +121.0000001 07-MAR-07 23:59:59 -9999\r\n";
    EXPECT_EQ(TrackTrk(rs, kUtf8), expected);
    EXPECT_EQ(kTrkHeader.size(), 62);
    EXPECT_EQ(QByteArray("T  +25.0333300 +121.5654300 05-MAR-07 14:03:22 -9999").size(), 52);
}

TEST(TrackFiles, TrackFile_ByFilterIndex_FromTheCurrentRow_AnyOtherIndexEmpty) {
    ResultSet rs = ThreeDays();
    rs.moveTo(3);
    EXPECT_EQ(TrackFile(rs, kTrackTextFilter, kUtf8),
              QByteArray("Datum,WGS84,WGS84,0,0,0,0,0\r\nTP,D, 25.123456789, 121.000000100, 07/03/07,23:59:59,0\r\n"));
    for (const int16_t index : {0, 3}) {
        ResultSet all = ThreeDays();
        EXPECT_EQ(TrackFile(all, index, kUtf8), QByteArray()) << index;
    }
    // A position that cannot be read is an error for the caller.
    ResultSet nullPosition({{QStringLiteral("DialTime"), FieldType::Text},
                            {QStringLiteral("X"), FieldType::Double},
                            {QStringLiteral("Y"), FieldType::Double}},
                           {{FieldValue(QStringLiteral("2007/03/05 14:03:22")), FieldValue(), FieldValue(1.0)}});
    EXPECT_THROW(TrackFile(nullPosition, kTrackTrkFilter, kUtf8), RuntimeError);
}

TEST(TrackFiles, DialogNameFilters_PairsAsQtFilters) {
    EXPECT_EQ(DialogNameFilters(kTrackFileFilter),
              QStringList({"PaPaGO! 航跡檔(*.txt)", "MapSource 6.5 航跡檔(*.trk)"}));
    EXPECT_EQ(DialogNameFilters("Text|*.txt;*.log|Tracks (*.trk)|*.trk"),
              QStringList({"Text (*.txt *.log)", "Tracks (*.trk)"}));
    for (const QString& malformed : {QString(), QStringLiteral("Text"), QStringLiteral("a|b|c")})
        EXPECT_THROW(DialogNameFilters(malformed), RuntimeError) << malformed.toStdString();
}

TEST(TrackFiles, WriteCompleteFile_ReplacesOrLeavesNothing) {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath("track.txt");
    ASSERT_EQ(WriteCompleteFile(path, "old"), std::nullopt);
    ASSERT_EQ(WriteCompleteFile(path, "new"), std::nullopt);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "new");

    // A folder that is not there: the failure names the file, and nothing is made.
    const QString target = QDir(folder.path()).filePath("missing/track.trk");
    const std::optional<QString> failure = WriteCompleteFile(target, "rows");
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->contains(QDir::toNativeSeparators(target))) << failure->toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"track.txt"});
}

// Rows that other programs wrote into the log. The first row that a file cannot hold is named by its
// DialTime, for either format, and nothing is written: the file that is there stays.
TEST(TrackFiles, WriteTrackFile_RowWithoutPositionOrStoredTime_WritesNothingAndNamesTheFirst) {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath("track.txt");
    PutFile(path, "old");
    const QString time = "2026/02/27 10:00:00";
    const QString wrongTime = "的時間不是有效的 yyyy/mm/dd hh:mm:ss 日期時間";
    const QString wrongX = "的經度 X 不是 0 到 180 之間的數值";
    const QString wrongY = "的緯度 Y 不是 0 到 90 之間的數值";
    const double inf = std::numeric_limits<double>::infinity();
    QString withNul = time;
    withNul.insert(13, QChar(u'\0'));
    struct Case {
        TrackPoint row;
        QString shown;
        QString what;
    };
    const std::vector<Case> cases = {
        {{time, 25, inf}, time, wrongX},
        {{time, 25, 1e308}, time, wrongX},
        {{time, 25, 0}, time, wrongX}, // a text such as 'abc' passes the query's X > 0 and reads as 0
        {{time, 25, 180.000001}, time, wrongX},
        {{time, std::numeric_limits<double>::quiet_NaN(), 121}, time, wrongY},
        {{time, -inf, 121}, time, wrongY},
        {{time, 90.5, 121}, time, wrongY},
        {{"2026/02/30 10:00:00", 25, 121}, "2026/02/30 10:00:00", wrongTime},
        {{"2026/02/27 24:00:00", 25, 121}, "2026/02/27 24:00:00", wrongTime},
        {{"2026/2/27 10:00:00", 25, 121}, "2026/2/27 10:00:00", wrongTime},
        {{"２０２６/02/27 10:00:00", 25, 121}, "２０２６/02/27 10:00:00", wrongTime},
        {{"", 25, 121}, "", wrongTime},
        {{withNul, 25, 121}, "2026/02/27 10\uFFFD:00:00", wrongTime},
        {{QString(50, u'9'), 25, 121}, QString(40, u'9') + "…", wrongTime},
    };
    for (const Case& c : cases) {
        for (const int16_t filter : {kTrackTextFilter, kTrackTrkFilter}) {
            ResultSet rs = TrackRows({{time, 25, 121}, c.row, {"2026/02/31 00:00:00", 25, 121}});
            EXPECT_EQ(WriteTrackFile(path, rs, filter, kUtf8),
                      QDir::toNativeSeparators(path) + ": 資料列 DialTime \"" + c.shown + "\" " + c.what)
                << c.row.DialTime.toStdString() << " " << c.row.X << " " << c.row.Y << " filter " << filter;
        }
    }
    EXPECT_EQ(FileBytes(path), "old");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"track.txt"});

    // The edges of the world and a leap day are positions and times.
    ResultSet edges = TrackRows({{"2024/02/29 23:59:59", 90, 180}});
    EXPECT_EQ(WriteTrackFile(path, edges, kTrackTextFilter, kUtf8), std::nullopt);
    EXPECT_EQ(FileBytes(path),
              "Datum,WGS84,WGS84,0,0,0,0,0\r\nTP,D, 90.000000000, 180.000000000, 24/02/29,23:59:59,0\r\n");
}

// Choosing an existing file overwrites it: replaced where the folder allows it, else written in place where
// the dispatcher may write the file. What killed exports to it left goes first; nothing of another name does.
TEST(TrackFiles, WriteTrackFile_OverAnExistingFile_ReplacedOrWrittenInPlace_ItsLeftoversRemoved) {
    QTemporaryDir folder;
    test::SetMode(folder.path(), 0755);
    const QDir dir(folder.path());
    const QString path = dir.filePath("track.txt");
    PutFile(path, "old");
    test::SetMode(path, 0666);
    const QStringList others = {"track.txt", "track.txt.Backup", "track.txt.qWzRtY", "trip.txt.kestrova-tmp-Ab12Cd"};
    for (const QString& name :
         others.sliced(1) + QStringList{"track.txt.kestrova-tmp-Ab12Cd", "track.txt.kestrova-tmp-xYz789"})
        PutFile(dir.filePath(name), "rows");

    ResultSet rs = ThreeDays();
    ASSERT_EQ(WriteTrackFile(path, rs, kTrackTextFilter, kUtf8), std::nullopt);
    ResultSet expected = ThreeDays();
    EXPECT_EQ(FileBytes(path), TrackText(expected, kUtf8));
    QStringList names = dir.entryList(QDir::Files);
    QStringList sortedOthers = others;
    sortedOthers.sort();
    EXPECT_EQ(names, sortedOthers);

    const ino_t before = Inode(path);
    const test::Permissions rootOnly(folder.path(), 0555);
    const test::OrdinaryUser user;
    if (!user.active()) {
        GTEST_SKIP() << "running as root without the right to act as another user";
    }
    ResultSet again = ThreeDays();
    ASSERT_EQ(WriteTrackFile(path, again, kTrackTrkFilter, kUtf8), std::nullopt);
    ResultSet expectedTrk = ThreeDays();
    EXPECT_EQ(FileBytes(path), TrackTrk(expectedTrk, kUtf8));
    EXPECT_EQ(Inode(path), before);
}
