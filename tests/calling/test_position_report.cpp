#include "calling/position_report.h"
#include "data/records.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace kestrova;

namespace {

// The plain report of the worked example: status 7, 25 deg 02.123 min N, 121 deg 33.456 min E,
// 12.5 knots, heading 90.0.
constexpr std::array<int, kPlainDigitCount> kExamplePlain{7, 2, 5, 0, 2, 1, 2, 3, 1, 2, 1, 3,
                                                          3, 4, 5, 6, 0, 1, 2, 5, 0, 9, 0, 0};

// Frame digits that each key digit shifts.
const std::set<int> kShiftedByK6{1, 4, 5, 9, 13, 17, 18, 19, 20, 23, 26, 27};
const std::set<int> kShiftedByK12{2, 4, 10, 11, 14, 15, 19, 20, 22, 23, 24, 27};
const std::set<int> kShiftedByK21{3, 4, 7, 8, 9, 11, 16, 18, 23, 25};

std::array<int, kPlainDigitCount> plainWith(int status, std::array<int, 4> speed, std::array<int, 4> heading)
{
    auto p = kExamplePlain;
    p[0] = status;
    for (int i = 0; i < 4; ++i) {
        p[16 + i] = speed[i];
        p[20 + i] = heading[i];
    }
    return p;
}

void expectSameDecoding(const DecodedPositionReport& a, const DecodedPositionReport& b)
{
    EXPECT_EQ(a.Status, b.Status);
    EXPECT_EQ(a.X, b.X);
    EXPECT_EQ(a.Y, b.Y);
    EXPECT_EQ(a.Speed, b.Speed);
    EXPECT_EQ(a.Direction, b.Direction);
}

} // namespace

TEST(PositionReportDecoding, UnshiftedExample_DecodesEveryField)
{
    const QString line = ScramblePositionReport(kExamplePlain, 0, 0, 0);
    ASSERT_EQ(ClassifyReportLine(line), ReportFrame::PositionReport);
    EXPECT_EQ(PlainReportOf(line), QStringLiteral("*725021231213345601250900#"));

    const auto report = DecodePositionReport(line, 0, 0);
    EXPECT_EQ(report.Status, 7);
    ASSERT_TRUE(report.Texts.has_value());
    EXPECT_EQ(report.Texts->CheckPoint, QStringLiteral("即時位置"));
    EXPECT_EQ(report.Texts->NS, QStringLiteral("北緯"));
    EXPECT_EQ(report.Texts->EW, QStringLiteral("東經"));
    EXPECT_DOUBLE_EQ(report.Y, 25.03538);
    EXPECT_DOUBLE_EQ(report.X, 121.5576);
    EXPECT_FLOAT_EQ(report.Speed, 23.2f);
    EXPECT_FLOAT_EQ(report.Direction, 90.0f);
    EXPECT_EQ(report.Offset, 0.0f);
}

TEST(PositionReportDecoding, HandWrittenFrame_MatchesTablePlacement)
{
    // Frame digits 1..27 written out by hand from the placement table with all keys 0.
    const QString line = QStringLiteral("*236700520200195231500231401#");
    ASSERT_EQ(ClassifyReportLine(line), ReportFrame::PositionReport);
    EXPECT_EQ(line, ScramblePositionReport(kExamplePlain, 0, 0, 0));
}

TEST(PositionReportDecoding, RaisingOneKeyDigit_ShiftsExactlyItsFrameDigits)
{
    const QString base = ScramblePositionReport(kExamplePlain, 0, 0, 0);
    const auto decodedBase = DecodePositionReport(base, 0, 0);
    struct Case {
        int k6, k12, k21, keyIndex;
        const std::set<int>* shifted;
    };
    for (const Case& c : {Case{1, 0, 0, 6, &kShiftedByK6}, Case{0, 1, 0, 12, &kShiftedByK12},
                          Case{0, 0, 1, 21, &kShiftedByK21}}) {
        const QString raised = ScramblePositionReport(kExamplePlain, c.k6, c.k12, c.k21);
        for (int j = 1; j <= 27; ++j) {
            const int before = base[j].unicode() - u'0';
            const int after = raised[j].unicode() - u'0';
            if (j == c.keyIndex)
                EXPECT_EQ(after, 1) << "key digit " << j;
            else if (c.shifted->count(j))
                EXPECT_EQ(after, (before + 1) % 10) << "frame digit " << j;
            else
                EXPECT_EQ(after, before) << "frame digit " << j;
        }
        expectSameDecoding(DecodePositionReport(raised, 0, 0), decodedBase);
    }
}

TEST(PositionReportDecoding, KeySumAboveNine_Wraps)
{
    // Frame digit 4 carries P1 shifted by k6 + k12 + k21 = 15: a plain 3 is sent as 8.
    auto plain = kExamplePlain;
    plain[0] = 3;
    const QString line = ScramblePositionReport(plain, 5, 5, 5);
    EXPECT_EQ(line[4], QLatin1Char('8'));
    EXPECT_EQ(DecodePositionReport(line, 0, 0).Status, 3);
}

TEST(PositionReportDecoding, SpeedAndHeading_RoundAsTheTerminalUnitsRequire)
{
    struct Case {
        std::array<int, 4> speed;
        std::array<int, 4> heading;
        float kmh;
        float degrees;
    };
    for (const Case& c : {Case{{0, 1, 2, 5}, {0, 0, 0, 0}, 23.2f, 0.0f}, Case{{0, 3, 7, 5}, {0, 9, 0, 0}, 69.4f, 90.0f},
                          Case{{1, 0, 0, 0}, {9, 9, 9, 9}, 185.2f, 999.9f}, Case{{0, 0, 0, 0}, {3, 5, 9, 9}, 0.0f, 359.9f},
                          Case{{9, 9, 9, 9}, {0, 0, 0, 1}, 1851.8f, 0.1f}}) {
        const auto report = DecodePositionReport(ScramblePositionReport(plainWith(7, c.speed, c.heading), 4, 8, 9), 0, 0);
        EXPECT_FLOAT_EQ(report.Speed, c.kmh);
        EXPECT_FLOAT_EQ(report.Direction, c.degrees);
    }
}

TEST(PositionReportDecoding, StatusDigits_GiveTheirTexts)
{
    const QString last = QStringLiteral("最後位置"), now = QStringLiteral("即時位置");
    const QString n = QStringLiteral("北緯"), s = QStringLiteral("南緯");
    const QString e = QStringLiteral("東經"), w = QStringLiteral("西經");
    const StatusTexts expected[9] = {{last, s, w}, {now, s, w}, {last, s, e}, {now, s, e}, {last, n, w},
                                     {now, n, w},  {last, n, e}, {now, n, e}, {now, s, w}};
    for (int status = 0; status <= 8; ++status) {
        const auto report = DecodePositionReport(ScramblePositionReport(plainWith(status, {}, {}), 3, 1, 4), 0, 0);
        ASSERT_TRUE(report.Texts.has_value()) << status;
        EXPECT_EQ(report.Texts->CheckPoint, expected[status].CheckPoint) << status;
        EXPECT_EQ(report.Texts->NS, expected[status].NS) << status;
        EXPECT_EQ(report.Texts->EW, expected[status].EW) << status;
    }
    const auto kept = DecodePositionReport(ScramblePositionReport(plainWith(9, {0, 1, 2, 5}, {}), 3, 1, 4), 121.55, 25.03);
    EXPECT_FALSE(kept.Texts.has_value());
    EXPECT_DOUBLE_EQ(kept.X, 121.5576);
    EXPECT_FLOAT_EQ(kept.Speed, 23.2f);
    EXPECT_GT(kept.Offset, 0.0f);
}

TEST(PositionReportDecoding, Offset_FromPreviousFix)
{
    const QString line = ScramblePositionReport(kExamplePlain, 2, 7, 1);
    EXPECT_EQ(DecodePositionReport(line, 0, 25.03).Offset, 0.0f);
    EXPECT_EQ(DecodePositionReport(line, 121.55, 0).Offset, 0.0f);
    EXPECT_EQ(DecodePositionReport(line, 121.5576, 25.03538).Offset, 0.0f);
    EXPECT_NEAR(DecodePositionReport(line, 121.55, 25.03).Offset, 957.7f, 0.05f);
}

TEST(PositionReportRecognition, FramedLineWithNonDigit_IsIgnored)
{
    const QString good = ScramblePositionReport(kExamplePlain, 1, 2, 3);
    for (QChar bad : {QChar(u' '), QChar(u'-'), QChar(u'+'), QChar(u'.'), QChar(u','), QChar(u'A'), QChar(u'８')}) {
        for (int j : {1, 6, 14, 27}) {
            QString line = good;
            line[j] = bad;
            EXPECT_EQ(ClassifyReportLine(line), ReportFrame::BadDigits) << j;
            EXPECT_THROW(DecodePositionReport(line, 0, 0), std::invalid_argument);
        }
    }
}

TEST(PositionReportRecognition, WrongLengthOrFrame_IsNotAReport)
{
    const QString good = ScramblePositionReport(kExamplePlain, 1, 2, 3);
    EXPECT_EQ(ClassifyReportLine(QString(good).remove(5, 1)), ReportFrame::NotFramed);
    EXPECT_EQ(ClassifyReportLine(QString(good).insert(5, QLatin1Char('5'))), ReportFrame::NotFramed);
    EXPECT_EQ(ClassifyReportLine(QString(good).replace(0, 1, QStringLiteral("#"))), ReportFrame::NotFramed);
    EXPECT_EQ(ClassifyReportLine(QString(good).replace(28, 1, QStringLiteral("*"))), ReportFrame::NotFramed);
    EXPECT_EQ(ClassifyReportLine(QString()), ReportFrame::NotFramed);
    EXPECT_EQ(ClassifyReportLine(QStringLiteral("NO DIALTONE")), ReportFrame::NotFramed);
}

TEST(PositionReportScrambling, RandomFixesAndKeys_RoundTrip)
{
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 2000; ++i) {
        PlainReportFields fields;
        fields.Status = digit(random);
        fields.LatitudeDegrees = std::uniform_int_distribution<int>(0, 99)(random);
        fields.LatitudeMinutes = std::uniform_int_distribution<int>(0, 99999)(random);
        fields.LongitudeDegrees = std::uniform_int_distribution<int>(0, 999)(random);
        fields.LongitudeMinutes = std::uniform_int_distribution<int>(0, 99999)(random);
        fields.Speed = std::uniform_int_distribution<int>(0, 9999)(random);
        fields.Heading = std::uniform_int_distribution<int>(0, 9999)(random);
        const QString line = ScramblePositionReport(PlainDigitsOf(fields), digit(random), digit(random), digit(random));
        const auto report = DecodePositionReport(line, 0, 0);
        EXPECT_EQ(report.Status, fields.Status);
        EXPECT_NEAR(report.Y, fields.LatitudeDegrees + fields.LatitudeMinutes / 60000.0, 0.000005);
        EXPECT_NEAR(report.X, fields.LongitudeDegrees + fields.LongitudeMinutes / 60000.0, 0.000005);
        EXPECT_NEAR(report.Direction, fields.Heading / 10.0, 0.001);
    }
}

TEST(PositionReportScrambling, FixFromSignedDegrees_KeepsHemispheresAndValues)
{
    const auto fields = PlainReportFromFix(-33.85678, -151.21, 50.0, -90.0, false);
    EXPECT_EQ(fields.Status, 0);
    const auto report = DecodePositionReport(ScramblePositionReport(PlainDigitsOf(fields), 9, 9, 9), 0, 0);
    EXPECT_EQ(report.Texts->NS, QStringLiteral("南緯"));
    EXPECT_EQ(report.Texts->EW, QStringLiteral("西經"));
    EXPECT_NEAR(report.Y, 33.85678, 0.00002);
    EXPECT_NEAR(report.X, 151.21, 0.00002);
    EXPECT_NEAR(report.Speed, 50.0f, 0.1f);
    EXPECT_FLOAT_EQ(report.Direction, 270.0f);
    EXPECT_THROW(PlainDigitsOf(PlainReportFields{7, 100, 0, 0, 0, 0, 0}), std::out_of_range);
}
