#include "calling/call_cycle_rules.h"

#include "startup/qstring_printer.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {

TEST(CycleTexts, CountdownAndCallTime_ShowOnlyTheUnitsNeeded) {
    // The ticks after Tags of 3661, 120 and 1.
    EXPECT_EQ(CountdownText(3660), QStringLiteral("循環倒數：1 時 1 分 0 秒"));
    EXPECT_EQ(CountdownText(119), QStringLiteral("循環倒數：1 分 59 秒"));
    EXPECT_EQ(CountdownText(0), QStringLiteral("循環倒數：0 秒"));
    EXPECT_EQ(CountdownText(7200), QStringLiteral("循環倒數：2 時 0 分 0 秒"));

    EXPECT_EQ(CallTimeText(75), QStringLiteral("使用時間：1 分 15 秒"));
    EXPECT_EQ(CallTimeText(59), QStringLiteral("使用時間：59 秒"));
    EXPECT_EQ(CallTimeText(60), QStringLiteral("使用時間：1 分 0 秒"));
}

std::vector<VehicleRecord> vehiclesFlagged(std::initializer_list<bool> flags) {
    std::vector<VehicleRecord> vehicles;
    for (const bool dial : flags) {
        vehicles.emplace_back().Dial = dial;
    }
    vehicles.emplace_back(); // the playback slot
    return vehicles;
}

TEST(NextDialVehicle, Search_StartsAfterFromWrapsAndEndsWithFrom) {
    EXPECT_EQ(NextDialVehicle(vehiclesFlagged({false, true, false, false}), 4, 2), 1);
    EXPECT_EQ(NextDialVehicle(vehiclesFlagged({false, true, false, true}), 4, 2), 3);
    EXPECT_EQ(NextDialVehicle(vehiclesFlagged({false, false, true, false}), 4, 2), 2);
    EXPECT_EQ(NextDialVehicle(vehiclesFlagged({false, false, false, false}), 4, 2), std::nullopt);
    EXPECT_EQ(NextDialVehicle(vehiclesFlagged({}), 0, 0), std::nullopt);
    EXPECT_EQ(NextDialVehicle(vehiclesFlagged({true, false}), 2, -1), 0);
}

} // namespace
