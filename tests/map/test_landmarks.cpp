#include "map/landmarks.h"

#include "data/temp_database.h"
#include "startup/fake_message_box.h"
#include "startup/program_end.h"
#include "startup/qstring_printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::FakeMessageBox;

// A database, a message box and a program end that only counts, with a landmark array holding a stale
// element that the load must replace.
struct Landmarks {
    TempDatabase database;
    FakeMessageBox box;
    int ends = 0;
    ProgramEnd programEnd{box, [this] { ++ends; }};
    std::vector<CoordinateRecord> Coordinates{CoordinateRecord{9, 1.0, 2.0, QStringLiteral("stale"), QString()}};

    void addLandmark(int seqNo, double x, double y, const QString& kind, const QString& explanation) {
        database.raw.run(QStringLiteral("INSERT INTO Coordinate (SeqNO,X,Y,Kind,Explanation) VALUES (?,?,?,?,?)"),
                         {qint64{seqNo}, x, y, kind, explanation});
    }

    void load() { LoadCoordinates(database.db, Coordinates, programEnd); }
};

void ExpectEmpty(const CoordinateRecord& r) {
    EXPECT_EQ(r.SeqNO, 0);
    EXPECT_EQ(r.X, 0);
    EXPECT_EQ(r.Y, 0);
    EXPECT_TRUE(r.Kind.isEmpty());
    EXPECT_TRUE(r.Explanation.isEmpty());
}

TEST(LoadCoordinates, NoRows_LeavesOneEmptyElement) {
    Landmarks l;
    l.load();

    ASSERT_EQ(l.Coordinates.size(), 1u);
    ExpectEmpty(l.Coordinates[0]);
    EXPECT_EQ(l.ends, 0);
}

TEST(LoadCoordinates, Rows_FollowedByOneEmptyElementAndTheWalkIsClosed) {
    Landmarks l;
    l.addLandmark(3, 121.5, 25.03, QStringLiteral("加油站"), QStringLiteral("中油"));
    l.addLandmark(7, 120.25, 22.5, QStringLiteral("醫院"), QStringLiteral("榮總"));
    l.load();

    ASSERT_EQ(l.Coordinates.size(), 3u);
    EXPECT_EQ(l.Coordinates[0].SeqNO, 3);
    EXPECT_EQ(l.Coordinates[0].X, 121.5);
    EXPECT_EQ(l.Coordinates[0].Y, 25.03);
    EXPECT_EQ(l.Coordinates[0].Kind, QStringLiteral("加油站"));
    EXPECT_EQ(l.Coordinates[0].Explanation, QStringLiteral("中油"));
    EXPECT_EQ(l.Coordinates[1].SeqNO, 7);
    EXPECT_EQ(l.Coordinates[1].Kind, QStringLiteral("醫院"));
    EXPECT_EQ(l.Coordinates[1].Explanation, QStringLiteral("榮總"));
    ExpectEmpty(l.Coordinates[2]);
    EXPECT_EQ(l.ends, 0);
    // Nothing is left open, so the next walk of the run starts cleanly.
    EXPECT_THROW(l.database.db.CloseVehicleRecordset(), RuntimeError);
}

TEST(LoadCoordinates, MissingTable_ShowsTheDatabaseErrorAndEndsTheProgram) {
    Landmarks l;
    l.database.raw.execute(QStringLiteral("DROP TABLE Coordinate"));
    l.load();

    EXPECT_EQ(l.ends, 1);
    ASSERT_EQ(l.box.shown.size(), 1u);
    EXPECT_EQ(l.box.shown[0].kind, QStringLiteral("critical"));
    EXPECT_EQ(l.box.shown[0].title, l.box.defaultTitle());
    EXPECT_THAT(l.box.shown[0].text.toStdString(), testing::HasSubstr("no such table: Coordinate"));
}

} // namespace
} // namespace kestrova
