#include "startup/column_widths.h"
#include "startup/runtime_error.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <vector>

using kestrova::GetColumnWidths;
using kestrova::SetColumnWidths;

namespace {

class FakeList : public kestrova::ColumnWidthsView {
public:
    explicit FakeList(std::vector<float> widths) : widths(std::move(widths)) {}
    int columnCount() const override { return static_cast<int>(widths.size()); }
    float width(int index) const override { return widths.at(static_cast<size_t>(index)); }
    void setWidth(int index, float width) override { widths.at(static_cast<size_t>(index)) = width; }

    std::vector<float> widths;
};

void expectApplied(const QString& text, const std::vector<float>& expected) {
    SCOPED_TRACE(text.toStdString());
    FakeList list({1500, 2250, 900});
    SetColumnWidths(list, text);
    EXPECT_EQ(list.widths, expected);
}

} // namespace

TEST(ColumnWidths, Get_JoinsWidthsWithoutOuterCommas) {
    EXPECT_EQ(GetColumnWidths(FakeList({1500, 2250, 900})), "1500,2250,900");
    EXPECT_EQ(GetColumnWidths(FakeList({1234.5f})), "1234.5");
    EXPECT_EQ(GetColumnWidths(FakeList({0, 0})), "0,0");
    EXPECT_EQ(GetColumnWidths(FakeList({})), "");
}

TEST(ColumnWidths, Set_AppliesEntriesByPosition) {
    expectApplied(",2000", {1500, 2000, 900});
    expectApplied("100,200,300,400", {100, 200, 300});
    expectApplied("", {1500, 2250, 900});
    expectApplied(",,", {1500, 2250, 900});
    expectApplied("12.5,abc, 7 ", {12.5f, 0, 7});
}

TEST(ColumnWidths, GetThenSet_RoundTrips) {
    FakeList saved({1440.75f, 0.1f, 98765});
    FakeList restored({1, 2, 3});
    SetColumnWidths(restored, GetColumnWidths(saved));
    EXPECT_EQ(restored.widths, saved.widths);
}

TEST(ColumnWidths, WidthBeyondASingle_Throws) {
    FakeList list({1500, 2250, 900});
    EXPECT_THROW(SetColumnWidths(list, "1,1e39,3"), kestrova::RuntimeError);
}
