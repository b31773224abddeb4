#include "calling/modem_status.h"

#include "startup/qstring_printer.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {

TEST(IsRegistered, StatField_HomeOrRoamingOnly) {
    EXPECT_TRUE(IsRegistered(QStringLiteral("0,1")));
    EXPECT_TRUE(IsRegistered(QStringLiteral("0,5")));
    EXPECT_TRUE(IsRegistered(QStringLiteral("2,1,\"1A2B\",\"00C3\"")));
    EXPECT_FALSE(IsRegistered(QStringLiteral("0,0")));
    EXPECT_FALSE(IsRegistered(QStringLiteral("0,2")));
    EXPECT_FALSE(IsRegistered(QStringLiteral("1")));
    EXPECT_FALSE(IsRegistered(QStringLiteral("")));
    EXPECT_FALSE(IsRegistered(QStringLiteral("0, 1")));
}

TEST(SignalBarsText, Rssi_FiveBandsAndNoneOutside) {
    const QString one = QStringLiteral("▂");
    EXPECT_EQ(SignalBarsText(QStringLiteral("0,0")), one);
    EXPECT_EQ(SignalBarsText(QStringLiteral("6,0")), one);
    EXPECT_EQ(SignalBarsText(QStringLiteral("")), one);
    EXPECT_EQ(SignalBarsText(QStringLiteral("x,0")), one);
    EXPECT_EQ(SignalBarsText(QStringLiteral("7,0")), QStringLiteral("▂▃"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("12")), QStringLiteral("▂▃"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("13,0")), QStringLiteral("▂▃▄"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("18,0")), QStringLiteral("▂▃▄"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("19,0")), QStringLiteral("▂▃▄▅"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("24,0")), QStringLiteral("▂▃▄▅"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("25,0")), QStringLiteral("▂▃▅▆▇"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("31,99")), QStringLiteral("▂▃▅▆▇"));
    EXPECT_EQ(SignalBarsText(QStringLiteral("32,0")), std::nullopt);
    EXPECT_EQ(SignalBarsText(QStringLiteral("99,99")), std::nullopt);
    EXPECT_EQ(SignalBarsText(QStringLiteral("-1,0")), std::nullopt);
    EXPECT_EQ(SignalBarsText(QStringLiteral("1e300,0")), std::nullopt);
}

} // namespace
