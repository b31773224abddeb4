#include "data/track_columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

using namespace kestrova;

namespace {

void ExpectDialTime(const char* text, QDate date, QTime time) {
    SCOPED_TRACE(text);
    const auto value = DialTimeValue(QString::fromLatin1(text));
    ASSERT_TRUE(value.has_value());
    EXPECT_TRUE(value->isValid());
    EXPECT_EQ(value->date(), date);
    EXPECT_EQ(value->time(), time);
}

// The process's local time zone set to zone while the object lives.
class LocalZone {
public:
    explicit LocalZone(const char* zone) : m_before(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone() {
        if (m_had) {
            qputenv("TZ", m_before);
        } else {
            qunsetenv("TZ");
        }
        tzset();
    }

private:
    QByteArray m_before;
    bool m_had;
};

QString Dms(const QString& hemisphere, double value) {
    return DegreesMinutesSeconds(hemisphere, value).value_or(QStringLiteral("<none>"));
}

QString Quantity(float value) {
    return QuantityText(value, u"km").value_or(QStringLiteral("<none>"));
}

QString Compass(float heading) {
    return CompassName(heading).value_or(QStringLiteral("<none>"));
}

} // namespace

TEST(DialTimeValue, FixedPositions_ReadWithCarries) {
    ExpectDialTime("2024/03/05 10:11:12", QDate(2024, 3, 5), QTime(10, 11, 12));
    ExpectDialTime("2023/12/31 23:59:59", QDate(2023, 12, 31), QTime(23, 59, 59));
    // The track query's upper bound is never stored, but reads as a date serial would.
    ExpectDialTime("2024/03/05 99:99:99", QDate(2024, 3, 9), QTime(4, 40, 39));
    ExpectDialTime("2024/13/01 00:00:00", QDate(2025, 1, 1), QTime(0, 0));
    ExpectDialTime("2024/03/00 00:00:00", QDate(2024, 2, 29), QTime(0, 0));
    // Parts read by their leading numbers: year "24/0" is 24 (2024), month "/0" and day "" are 0.
    ExpectDialTime("24/03/05", QDate(2023, 11, 30), QTime(0, 0));
    ExpectDialTime("", QDate(1999, 11, 30), QTime(0, 0));
    ExpectDialTime("0050/01/01 00:00:00", QDate(1950, 1, 1), QTime(0, 0));
}

// Stored times are the PC clock's fields as they were; a zone's daylight-saving change must not move
// or drop them.
TEST(DialTimeValue, DaylightSavingChanges_KeepTheStoredFields) {
    const LocalZone berlin("Europe/Berlin");
    ASSERT_FALSE(QDateTime(QDate(2024, 3, 31), QTime(2, 30)).isValid()) << "02:30 lies in Berlin's spring gap";
    ExpectDialTime("2024/03/31 02:30:00", QDate(2024, 3, 31), QTime(2, 30));
    ExpectDialTime("2024/10/27 02:30:00", QDate(2024, 10, 27), QTime(2, 30));
    ExpectDialTime("2024/03/30 26:30:00", QDate(2024, 3, 31), QTime(2, 30));
}

TEST(DialTimeValue, Unreadable_GivesNothing) {
    EXPECT_FALSE(DialTimeValue(u"-001/01/01 00:00:00").has_value());
    EXPECT_FALSE(DialTimeValue(u"9999/13/01 00:00:00").has_value());
    EXPECT_FALSE(DialTimeValue(u"9999/12/31 24:00:00").has_value());
    EXPECT_FALSE(DialTimeValue(u"1e99/01/01 00:00:00").has_value()) << "beyond an Integer";
}

TEST(DegreesMinutesSeconds, Values_WithSecondsHalfUpAndNotCarried) {
    EXPECT_EQ(Dms(QStringLiteral("東經"), 0), QString());
    EXPECT_EQ(Dms(QStringLiteral("東經"), 121.5), QStringLiteral("東經 121° 30' 00\""));
    EXPECT_EQ(Dms(QStringLiteral("北緯"), 25.0375), QStringLiteral("北緯 25° 02' 15\""));
    // 59.5 seconds and more show as 60 in the same minute.
    EXPECT_EQ(Dms(QStringLiteral("北緯"), 25 + 59.0 / 60 + 59.6 / 3600), QStringLiteral("北緯 25° 59' 60\""));
    EXPECT_EQ(Dms(QStringLiteral("北緯"), 25 + 10.0 / 60 + 30.6 / 3600), QStringLiteral("北緯 25° 10' 31\""));
    EXPECT_EQ(Dms(QStringLiteral("北緯"), 25 + 10.0 / 60 + 30.4 / 3600), QStringLiteral("北緯 25° 10' 30\""));
    EXPECT_EQ(Dms(QString(), 1.25), QStringLiteral(" 1° 15' 00\""));
    EXPECT_FALSE(DegreesMinutesSeconds(QStringLiteral("東經"), std::numeric_limits<double>::infinity()));
}

TEST(QuantityText, HundredthsDecideTheDecimals) {
    EXPECT_EQ(Quantity(12), QStringLiteral("12 km"));
    EXPECT_EQ(Quantity(12.5f), QStringLiteral("12.50 km"));
    EXPECT_EQ(Quantity(0), QStringLiteral("0 km"));
    EXPECT_EQ(Quantity(1234567), QStringLiteral("1,234,567 km")) << "hundredths beyond a Single's precision";
    EXPECT_EQ(Quantity(1234.25f), QStringLiteral("1,234.25 km"));
    // Hundredths that round away to a whole number.
    EXPECT_EQ(Quantity(12.004f), QStringLiteral("12 km"));
    EXPECT_EQ(Quantity(12.996f), QStringLiteral("13 km"));
    EXPECT_EQ(Quantity(0.01f), QStringLiteral("0.01 km"));
    EXPECT_EQ(Quantity(-3.5f), QStringLiteral("-3.50 km"));
    // Beyond the range of the runtime's Mod the same test still holds.
    EXPECT_EQ(Quantity(3e9f), QStringLiteral("3,000,000,000 km"));
    EXPECT_EQ(Quantity(-1234.75f), QStringLiteral("-1,234.75 km"));
    EXPECT_EQ(Quantity(999999.5f), QStringLiteral("999,999.50 km"));
    EXPECT_EQ(Quantity(100), QStringLiteral("100 km"));
    EXPECT_EQ(Quantity(-0.0f), QStringLiteral("0 km"));
    EXPECT_EQ(Quantity(12.3f), QStringLiteral("12.30 km"));
    EXPECT_FALSE(QuantityText(std::numeric_limits<float>::infinity(), u"km"));
}

TEST(CompassName, SectorHalves_RoundUp) {
    EXPECT_EQ(Compass(0), QStringLiteral("北"));
    EXPECT_EQ(Compass(22.4f), QStringLiteral("北"));
    EXPECT_EQ(Compass(22.5f), QStringLiteral("東北"));
    EXPECT_EQ(Compass(67.5f), QStringLiteral("東"));
    EXPECT_EQ(Compass(112.5f), QStringLiteral("東南"));
    EXPECT_EQ(Compass(180), QStringLiteral("南"));
    EXPECT_EQ(Compass(202.5f), QStringLiteral("西南"));
    EXPECT_EQ(Compass(270), QStringLiteral("西"));
    EXPECT_EQ(Compass(337.4f), QStringLiteral("西北"));
    EXPECT_EQ(Compass(337.5f), QStringLiteral("北"));
    // The Singles just below an edge show as the edge (22.5, 337.5), and are judged so.
    EXPECT_EQ(Compass(std::nextafter(22.5f, 0.0f)), QStringLiteral("東北"));
    EXPECT_EQ(Compass(std::nextafter(337.5f, 0.0f)), QStringLiteral("北"));
    EXPECT_EQ(Compass(359), QStringLiteral("北"));
    EXPECT_EQ(Compass(405), QStringLiteral("東北"));
    EXPECT_EQ(Compass(999.9f), QStringLiteral("西"));
    EXPECT_EQ(Compass(-22.4f), QStringLiteral("北"));
    EXPECT_EQ(Compass(-22.6f), QStringLiteral("<none>"));
}
