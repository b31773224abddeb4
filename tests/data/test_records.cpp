#include "data/records.h"

#include <gtest/gtest.h>

using namespace kestrova;

TEST(HealthyHistory, UnansweredCalls_ShiftInFromTheRight)
{
    QString healthy = kHealthyNew;
    healthy = AppendHealthy(healthy, kHealthyNoAnswer);
    EXPECT_EQ(healthy, QStringLiteral("00002"));
    for (int i = 0; i < 4; ++i)
        healthy = AppendHealthy(healthy, kHealthyNoAnswer);
    EXPECT_EQ(healthy, kHealthyAllFailed);
    EXPECT_EQ(AppendHealthy(healthy, kHealthyReport), QStringLiteral("22220"));
    EXPECT_EQ(AppendHealthy(QStringLiteral("21"), kHealthyNoReport), QStringLiteral("211"));
}
