#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "track/track_files.h"
#include "track/track_rows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrova;
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
