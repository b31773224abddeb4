#include "startup/numeric.h"
#include "startup/runtime_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrova {
namespace {

void expectRuntimeError(const auto& call, const QString& text) {
    try {
        call();
        ADD_FAILURE() << "no error thrown, expected " << text.toStdString();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.text(), text);
    }
}

void expectVal(const QString& text, double expected) {
    EXPECT_EQ(Val(text), expected) << "Val(\"" << text.toStdString() << "\")";
}

TEST(Val, LeadingNumber_IsRead) {
    expectVal("12abc", 12);
    expectVal("3.75 km", 3.75);
    expectVal("-.5", -0.5);
    expectVal("+7", 7);
    expectVal("1.2.3", 1.2);
    expectVal("1,000", 1);
    expectVal("0.05", 0.05);
    expectVal("007", 7);
}

TEST(Val, BlanksTabsAndLineFeeds_AreSkippedEvenInsideTheNumber) {
    expectVal(" 1 2 3", 123);
    expectVal("\t- 4\n5", -45);
    expectVal("1 . 5", 1.5);
    expectVal("12\r34", 12); // a carriage return is not a blank
}

TEST(Val, Exponents_TakeEOrDAndIgnoreAnIncompleteOne) {
    expectVal("1E3", 1000);
    expectVal("2.5d-1", 0.25);
    expectVal("1e+2x", 100);
    expectVal("1e", 1);
    expectVal("4e-", 4);
}

TEST(Val, RadixPrefixes_ReadIntegerAndLongWithTheirSign) {
    expectVal("&H1F", 31);
    expectVal("&hff", 255);
    expectVal("&HFFFF", -1);
    expectVal("&H10000", 65536);
    expectVal("&HFFFFFFFF", -1);
    expectVal("&O17", 15);
    expectVal("&H", 0);
    expectVal("&X1", 0);
}

TEST(Val, TextsWithoutANumber_GiveZero) {
    expectVal("", 0);
    expectVal("abc", 0);
    expectVal(".", 0);
    expectVal("-", 0);
    expectVal("e5", 0);
    expectVal("   ", 0);
}

TEST(Val, ExtremeTexts_NeverThrow) {
    EXPECT_EQ(Val(u"1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val(u"-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val(u"1e-400"), 0.0);
    EXPECT_EQ(Val(u"0e99999"), 0.0);
    EXPECT_EQ(Val(QString(5000, u'9') + "e-4990"), 1e10);
    EXPECT_DOUBLE_EQ(Val(QString("0.") + QString(400, u'0') + "1e405"), 1e4);
}

TEST(CInt, Halves_GoToTheEvenInteger) {
    EXPECT_EQ(CInt(0.5), 0);
    EXPECT_EQ(CInt(1.5), 2);
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(-3.5), -4);
    EXPECT_EQ(CInt(3400.5), 3400);
    EXPECT_EQ(CInt(3401.5), 3402);
    EXPECT_EQ(CInt(2.5000001), 3);
    EXPECT_EQ(CInt(-0.4), 0);
}

TEST(CInt, OutOfRange_ThrowsOverflow) {
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CInt(-32768.5), -32768);
    expectRuntimeError([] { CInt(32767.5); }, "溢位");
    expectRuntimeError([] { CInt(-32769); }, "溢位");
    expectRuntimeError([] { CInt(std::nan("")); }, "溢位");
}

TEST(CLng, OutOfRange_ThrowsOverflow) {
    EXPECT_EQ(CLng(2147483646.5), 2147483646);
    EXPECT_EQ(CLng(-2147483648.5), -2147483648);
    EXPECT_EQ(CLng(121565430.5), 121565430);
    expectRuntimeError([] { CLng(2147483647.5); }, "溢位");
    expectRuntimeError([] { CLng(-1e300); }, "溢位");
    expectRuntimeError([] { CLng(std::numeric_limits<double>::infinity()); }, "溢位");
}

TEST(Round, DecimalTies_GoToTheEvenDigit) {
    EXPECT_EQ(Round(12.125, 2), 12.12);
    EXPECT_EQ(Round(12.375, 2), 12.38);
    EXPECT_EQ(Round(2.675, 2), 2.68);
    EXPECT_EQ(Round(23.15, 1), 23.2);
    EXPECT_EQ(Round(69.45, 1), 69.4);
    EXPECT_EQ(Round(-2.675, 2), -2.68);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(0.51), 1);
}

TEST(Round, Carries_AndPassesThroughShortValues) {
    EXPECT_EQ(Round(9.995, 2), 10.0);
    EXPECT_EQ(Round(99.96, 1), 100.0);
    EXPECT_EQ(Round(0.004, 2), 0.0);
    EXPECT_EQ(Round(0.1 + 0.2, 2), 0.3);
    EXPECT_EQ(Round(12.3, 2), 12.3);
    EXPECT_EQ(Round(1e300, 2), 1e300);
    EXPECT_TRUE(std::isnan(Round(std::nan(""), 2)));
}

TEST(Mod, OperandsAreRoundedFirst_AndTheDividendGivesTheSign) {
    EXPECT_EQ(Mod(10, 8), 2);
    EXPECT_EQ(Mod(8.5, 8), 0);  // 8.5 rounds to 8
    EXPECT_EQ(Mod(9.5, 8), 2);  // 9.5 rounds to 10
    EXPECT_EQ(Mod(10, 3.5), 2); // 3.5 rounds to 4
    EXPECT_EQ(Mod(-10, 8), -2);
    EXPECT_EQ(Mod(10, -8), 2);
    EXPECT_EQ(Mod(-2147483648.0, -1), 0);
}

TEST(Mod, ZeroOrHugeOperands_Throw) {
    expectRuntimeError([] { Mod(5, 0.4); }, "除數為零");
    expectRuntimeError([] { Mod(5, 0); }, "除數為零");
    expectRuntimeError([] { Mod(1e10, 8); }, "溢位");
}

void expectNumberText(double value, const char* expected) {
    EXPECT_EQ(NumberText(value), QString::fromLatin1(expected)) << "double " << value;
}

void expectNumberText(float value, const char* expected) {
    EXPECT_EQ(NumberText(value), QString::fromLatin1(expected)) << "float " << value;
}

TEST(NumberText, Double_IsShortestWithFifteenDigits) {
    expectNumberText(3661.0, "3661");
    expectNumberText(0.5, "0.5");
    expectNumberText(-0.5, "-0.5");
    expectNumberText(-3.25, "-3.25");
    expectNumberText(0.0, "0");
    expectNumberText(-0.0, "0");
    expectNumberText(0.1 + 0.2, "0.3");
    expectNumberText(1.0 / 3.0, "0.333333333333333");
    expectNumberText(2.0 / 3.0, "0.666666666666667");
    expectNumberText(121.56543, "121.56543");
    expectNumberText(123456789012345.0, "123456789012345");
    expectNumberText(0.0001, "0.0001");
}

TEST(NumberText, Double_UsesAnExponentOnlyOutsideFifteenDigits) {
    expectNumberText(1e15, "1E+15");
    expectNumberText(1234567890123456789.0, "1.23456789012346E+18");
    expectNumberText(999999999999999.9, "1E+15");
    expectNumberText(0.00001, "1E-05");
    expectNumberText(-1.5e-7, "-1.5E-07");
    expectNumberText(1e300, "1E+300");
    expectNumberText(std::numeric_limits<double>::infinity(), "1.#INF");
}

TEST(NumberText, Single_IsShortestWithSevenDigits) {
    expectNumberText(0.1F, "0.1");
    expectNumberText(35.5F, "35.5");
    expectNumberText(12.34F, "12.34");
    expectNumberText(1.0F / 3.0F, "0.3333333");
    expectNumberText(1234567.0F, "1234567");
    expectNumberText(12345678.0F, "1.234568E+07");
    expectNumberText(-0.0F, "0");
}

void expectFormat(double value, const char* pattern, const char* expected) {
    EXPECT_EQ(Format(value, QString::fromLatin1(pattern)), QString::fromLatin1(expected))
        << "Format(" << value << ", \"" << pattern << "\")";
}

TEST(Format, FixedDigits_PadAndRound) {
    expectFormat(5, "000", "005");
    expectFormat(315, "000", "315");
    expectFormat(1234, "00", "1234");
    expectFormat(7, "00", "07");
    expectFormat(0, "0", "0");
    expectFormat(2.5, "0", "3");
    expectFormat(-2.5, "0", "-3");
    expectFormat(12.35, "0.0", "12.4");
    expectFormat(2.675, "0.00", "2.68");
    expectFormat(1.005, "0.00", "1.01");
    expectFormat(25.03333, "0.000000000", "25.033330000");
    expectFormat(121.56543, "0.0000000", "121.5654300");
    expectFormat(0.0000000004, "0.000000000", "0.000000000");
    expectFormat(0.0000000005, "0.000000000", "0.000000001");
}

TEST(Format, Grouping_InsertsCommasByThree) {
    expectFormat(0, "#,##0", "0");
    expectFormat(999, "#,##0", "999");
    expectFormat(1000, "#,##0", "1,000");
    expectFormat(1234567.891, "#,##0.00", "1,234,567.89");
    expectFormat(-1234.5, "#,##0.00", "-1,234.50");
    expectFormat(1234, "###,###,###,##0", "1,234");
    expectFormat(123456789012.0, "###,###,###,##0.0", "123,456,789,012.0");
    expectFormat(1e20, "#,##0", "100,000,000,000,000,000,000");
}

TEST(Format, RoundingCarry_ReachesTheGroupedDigits) {
    expectFormat(999.96, "#,##0.0", "1,000.0");
    expectFormat(999999.95, "###,###,###,##0.0", "1,000,000.0");
    expectFormat(0.96, "###,###,###,##0.0", "1.0");
    expectFormat(9.5, "0", "10");
}

TEST(Format, SmallNegatives_ShowNoSign) {
    expectFormat(-0.04, "0.0", "0.0");
    expectFormat(-0.4, "0", "0");
    expectFormat(-0.05, "0.0", "-0.1");
}

TEST(Format, OptionalPlaceholdersAndLiterals) {
    expectFormat(0.5, "#.##", ".5");
    expectFormat(5, "#.#", "5.");
    expectFormat(1.25, "0.0#", "1.25");
    expectFormat(1.2, "0.0#", "1.2");
    expectFormat(42, "0 km", "42 km");
    EXPECT_EQ(Format(Mod(7, 8) * 45, u"000"), "315");
}

TEST(Format, Single_IsJudgedOnItsOwnDecimal) {
    EXPECT_EQ(Format(12.45F, u"0.0"), "12.5"); // the double behind it is 12.4499998...
    EXPECT_EQ(Format(static_cast<double>(12.45F), u"0.0"), "12.4");
}

const QDateTime kMoment(QDate(2007, 3, 5), QTime(14, 3, 22));

TEST(FormatDate, DbTimePattern) {
    EXPECT_EQ(FormatDate(kMoment, u"yyyy/mm/dd hh:mm:ss"), "2007/03/05 14:03:22");
    EXPECT_EQ(FormatDate(QDateTime(QDate(1999, 12, 31), QTime(0, 0, 0)), u"yyyy/mm/dd hh:mm:ss"),
              "1999/12/31 00:00:00");
}

TEST(FormatDate, MonthOrMinute_DependsOnAPrecedingHour) {
    EXPECT_EQ(FormatDate(kMoment, u"YY-MM-DD HH:MM:SS"), "07-03-05 14:03:22");
    EXPECT_EQ(FormatDate(QDateTime(QDate(2007, 11, 5), QTime(9, 41, 7)), u"m/d h:m:s"), "11/5 9:41:7");
    EXPECT_EQ(FormatDate(kMoment, u"hh:nn"), "14:03");
    EXPECT_EQ(FormatDate(kMoment, u"dd-mmm-yy hh:mm:ss"), "05-Mar-07 14:03:22");
    EXPECT_EQ(FormatDate(QDateTime(QDate(2010, 12, 1), QTime(1, 2, 3)), u"dd-MMM-yy"), "01-Dec-10");
}

TEST(GeneralDateText, FixedLocales_DropTheTimeZone) {
    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    const QString text = GeneralDateText(kMoment, taiwan);
    EXPECT_TRUE(text.startsWith("2007/3/5 ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("2:03:22")) << text.toStdString();
    EXPECT_FALSE(text.contains(u'[') || text.contains("UTC") || text.contains(u'B')) << text.toStdString();
    EXPECT_EQ(GeneralDateText(kMoment, QLocale::c()), "5 Mar 2007 14:03:22");
}

TEST(GeneralDateText, Midnight_LeavesOutTheTime) {
    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    EXPECT_EQ(GeneralDateText(QDateTime(QDate(2007, 3, 5), QTime(0, 0)), taiwan), "2007/3/5");
    EXPECT_EQ(GeneralDateText(QDateTime(QDate(2007, 3, 5), QTime(0, 0, 1)), QLocale::c()), "5 Mar 2007 00:00:01");
}

} // namespace
} // namespace kestrova
