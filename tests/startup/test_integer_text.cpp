#include "qstring_printer.h"
#include "startup/integer_text.h"
#include "startup/runtime_error.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {

void expectInteger(const QString& text, int16_t expected) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(CIntText(text), expected);
}

void expectError(const QString& text, const QString& errorText) {
    SCOPED_TRACE(text.toStdString());
    try {
        CIntText(text);
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.text(), errorText);
    }
}

TEST(CIntText, WholeNumberTexts_AreConvertedHalfToEven) {
    expectInteger("3", 3);
    expectInteger(" 3 ", 3);
    expectInteger("-2", -2);
    expectInteger("+7", 7);
    expectInteger("3.5", 4);
    expectInteger("2.5", 2);
    expectInteger("1E1", 10);
    expectInteger("32767", 32767);
    expectInteger("-32768", -32768);
}

TEST(CIntText, TextsThatAreNotWholeNumbers_AreTypeMismatches) {
    for (const char* text : {"", "   ", "abc", "3abc", "COM3", "1,5", "inf", "nan", "&H3"}) {
        expectError(text, "型態不符合");
    }
}

TEST(CIntText, NumbersBeyondInteger_Overflow) {
    expectError("32768", "溢位");
    expectError("-32769", "溢位");
    expectError("1E10", "溢位");
}

} // namespace
