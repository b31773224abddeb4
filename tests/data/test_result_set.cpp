#include "data/data_errors.h"
#include "data/result_set.h"
#include "startup/runtime_error.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {

ResultSet ThreeRows() {
    std::vector<ResultSet::Row> rows;
    for (qint64 i = 1; i <= 3; ++i) {
        rows.push_back({FieldValue(i), FieldValue(QStringLiteral("row %1").arg(i)), FieldValue()});
    }
    return ResultSet({{QStringLiteral("SeqNO"), FieldType::Integer},
                      {QStringLiteral("Name"), FieldType::Text},
                      {QStringLiteral("Nothing"), FieldType::Text}},
                     std::move(rows));
}

template <typename F> void ExpectError(F&& statement, const QString& text) {
    try {
        statement();
        ADD_FAILURE() << "no error; expected: " << text.toStdString();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.text(), text);
    }
}

} // namespace

TEST(ResultSet, Walk_FromFirstRowToEofThenBackToFirst) {
    ResultSet rs = ThreeRows();
    EXPECT_FALSE(rs.bof());
    EXPECT_FALSE(rs.eof());
    QStringList names;
    for (; !rs.eof(); rs.moveNext()) {
        names << FieldText(rs.field(u"name"));
    }
    EXPECT_EQ(names, QStringList({"row 1", "row 2", "row 3"}));
    EXPECT_EQ(rs.position(), 3);
    ExpectError([&] { rs.field(0); }, kNoCurrentRecord);
    ExpectError([&] { rs.moveNext(); }, kNoCurrentRecord);
    rs.moveFirst();
    EXPECT_FALSE(rs.eof());
    EXPECT_EQ(FieldNumber(rs.field(0)), 1);
}

TEST(ResultSet, MoveTo_ExistingRowsOnly) {
    ResultSet rs = ThreeRows();
    rs.moveTo(2);
    EXPECT_EQ(std::get<qint64>(rs.field(u"SEQNO")), 3);
    ExpectError([&] { rs.moveTo(3); }, kNoCurrentRecord);
    ExpectError([&] { rs.moveTo(-1); }, kNoCurrentRecord);
    EXPECT_EQ(rs.position(), 2) << "a failed move leaves the current row";
}

TEST(ResultSet, Empty_IsBofAndEofWhateverMoves) {
    const auto check = [](ResultSet rs) {
        EXPECT_TRUE(rs.bof());
        EXPECT_TRUE(rs.eof());
        rs.moveFirst();
        EXPECT_TRUE(rs.bof());
        EXPECT_TRUE(rs.eof());
        ExpectError([&] { rs.moveNext(); }, kNoCurrentRecord);
        ExpectError([&] { rs.moveTo(0); }, kNoCurrentRecord);
        ExpectError([&] { rs.field(0); }, kNoCurrentRecord);
    };
    check(ResultSet());
    check(ResultSet({{QStringLiteral("A"), FieldType::Text}}, {}));
}

TEST(ResultSet, Clone_HasItsOwnCurrentRowOverTheSameRows) {
    ResultSet rs = ThreeRows();
    rs.moveTo(1);
    ResultSet copy = rs.clone();
    EXPECT_EQ(copy.position(), 0) << "a clone starts on the first row";
    copy.moveNext();
    copy.moveNext();
    copy.moveNext();
    EXPECT_TRUE(copy.eof());
    EXPECT_EQ(rs.position(), 1);
    EXPECT_EQ(FieldText(rs.field(1)), QStringLiteral("row 2"));
    // Both read the same rows, and the clone outlives its source.
    ResultSet second = copy.clone();
    rs = ResultSet();
    EXPECT_EQ(second.rowCount(), 3);
    EXPECT_EQ(FieldText(second.cell(2, 1)), QStringLiteral("row 3"));
}

TEST(ResultSet, Fields_ByNameAndPosition) {
    const ResultSet rs = ThreeRows();
    EXPECT_EQ(rs.columnIndex(u"name"), 1);
    EXPECT_EQ(rs.columnIndex(u"missing"), -1);
    ExpectError([&] { rs.field(u"missing"); }, kItemNotFound);
    ExpectError([&] { rs.field(3); }, kItemNotFound);
    ExpectError([&] { rs.column(-1); }, kItemNotFound);
    ExpectError([&] { rs.cell(3, 0); }, kNoCurrentRecord);
}

TEST(FieldValue, NullText_IsEmptyAndNullNumber_IsAnError) {
    EXPECT_EQ(FieldText(FieldValue()), QString());
    ExpectError([] { FieldNumber(FieldValue()); }, kInvalidUseOfNull);
    ExpectError([] { FieldNumber(FieldValue(QStringLiteral("abc"))); }, kTypeMismatch);
    EXPECT_EQ(FieldNumber(FieldValue(QStringLiteral(" 12.5 "))), 12.5);
    EXPECT_EQ(FieldText(FieldValue(12.5f)), QStringLiteral("12.5"));
    EXPECT_EQ(FieldText(FieldValue(qint64(-7))), QStringLiteral("-7"));
    EXPECT_EQ(FieldText(FieldValue(121.56123)), QStringLiteral("121.56123"));
    ExpectError([] { SingleFromDouble(1e39); }, kOverflow);
}
