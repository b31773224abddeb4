#include "data/data_errors.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "track/playback_interval.h"
#include "track/playback_slot.h"
#include "track/track_query_filter.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

using namespace kestrova;

TEST(TrackQueryFilter, FilterBoxText_LeadingNumberInPlainForm) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"abc", "0"}, {"", "0"}, {"12abc", "12"}, {"12.50", "12.5"}, {" 7 5", "75"}, {"-3", "-3"}, {"1e3", "1000"}};
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(FilterBoxText(text), shown) << text.toStdString();
}

TEST(TrackQueryFilter, FilterBound_SingleOfTheLeadingNumber_HugeAsInfinite) {
    EXPECT_EQ(FilterBound(u"12.5km"), 12.5F);
    EXPECT_EQ(FilterBound(u"abc"), 0.0F);
    EXPECT_EQ(FilterBound(u"1e300"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(FilterBound(u"-1e300"), -std::numeric_limits<float>::infinity());
}

TEST(TrackQueryFilter, Bounds_FirstDayFromMidnight_LastDayUpTo99) {
    EXPECT_EQ(TrackFromTime(QDate(2007, 3, 5)), "2007/03/05 00:00:00");
    EXPECT_EQ(TrackToTime(QDate(2007, 3, 5)), "2007/03/05 99:99:99");
    EXPECT_LT(QStringLiteral("2007/03/05 23:59:59"), TrackToTime(QDate(2007, 3, 5)));
}

TEST(TrackQueryFilter, TrackQueryKey_FirstExactPlate_SpareSlotNotSearched) {
    std::vector<VehicleRecord> vehicles(4);
    vehicles[0].PlateNumber = "ab-1";
    vehicles[0].PhoneNumber = "0911";
    vehicles[1].PlateNumber = "AB-1";
    vehicles[1].PhoneNumber = "0922";
    vehicles[2].PlateNumber = "AB-1";
    vehicles[2].PhoneNumber = "0933";
    vehicles[3].PlateNumber = "SLOT";
    vehicles[3].PhoneNumber = "0944";
    EXPECT_EQ(TrackQueryKey(vehicles, "AB-1"), "0922");
    EXPECT_EQ(TrackQueryKey(vehicles, "SLOT"), "");
    EXPECT_EQ(TrackQueryKey({}, "AB-1"), "");
}

TEST(PlaybackIntervalSeconds, HeldToOneToTenSeconds) {
    const std::vector<std::pair<QString, int16_t>> cases = {{"", 1},      {"0", 1},      {"25", 10}, {"2.5", 2},
                                                            {"3.5", 4},   {"7s", 7},     {"-3", 1},  {"1e30", 10},
                                                            {"-1e30", 1}, {"99999", 10}, {"abc", 1}};
    for (const auto& [text, seconds] : cases) {
        EXPECT_EQ(PlaybackIntervalSeconds(text), seconds) << text.toStdString();
    }
}

namespace {

ResultSet OneTrackRow(FieldValue speed) {
    const QStringList names = {"PlateNumber", "DialTime", "CheckPoint", "EW",        "X",      "NS",
                               "Y",           "Position", "Speed",      "Direction", "Offset", "Healthy"};
    QList<ResultColumn> columns;
    for (const QString& name : names)
        columns.push_back({name, FieldType::Text});
    return ResultSet(
        columns, {{FieldValue(QStringLiteral("0912000201")), FieldValue(QStringLiteral("2007/03/05 14:03:22")),
                   FieldValue(QStringLiteral("最後位置")), FieldValue(QStringLiteral("東經")), FieldValue(121.56543),
                   FieldValue(QStringLiteral("北緯")), FieldValue(25.03333), FieldValue(QStringLiteral("河濱路")),
                   speed, FieldValue(135.5F), FieldValue(12.5F), FieldValue(QStringLiteral("00012"))}});
}

} // namespace

TEST(PlaybackSlot, CopyTrackRow_FieldsOfTheRow_OthersKept) {
    VehicleRecord slot;
    slot.PhoneNumber = "kept";
    slot.Offset = 7;
    CopyTrackRow(OneTrackRow(FieldValue(35.5F)), "AB-1", 2, slot);
    EXPECT_EQ(slot.PlateNumber, "AB-1");
    EXPECT_EQ(slot.CarType, 2);
    EXPECT_EQ(slot.DialTime, "2007/03/05 14:03:22");
    EXPECT_EQ(slot.CheckPoint, "最後位置");
    EXPECT_EQ(slot.EW + slot.NS, "東經北緯");
    EXPECT_EQ(slot.X, 121.56543);
    EXPECT_EQ(slot.Y, 25.03333);
    EXPECT_EQ(slot.Speed, 35.5F);
    EXPECT_EQ(slot.Direction, 135.5F);
    EXPECT_EQ(slot.Healthy, "00012");
    EXPECT_EQ(slot.Address, "河濱路");
    EXPECT_EQ(slot.PhoneNumber, "kept");
    EXPECT_EQ(slot.Offset, 7);

    // A Null speed cannot be read: the error goes to the caller and the slot stays as it was.
    const VehicleRecord before = slot;
    try {
        CopyTrackRow(OneTrackRow(FieldValue()), "CD-2", 1, slot);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.text(), kInvalidUseOfNull);
    }
    EXPECT_EQ(slot.PlateNumber, before.PlateNumber);
    EXPECT_EQ(slot.CarType, before.CarType);
}
