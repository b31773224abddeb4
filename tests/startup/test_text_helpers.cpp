#include "startup/fake_message_box.h"
#include "startup/runtime_error.h"
#include "startup/text_helpers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace kestrova {
namespace {

using test::FakeMessageBox;

TEST(EscapeSql, Quotes_AreDoubledAndNothingElseChanges) {
    EXPECT_EQ(EscapeSql(" ABC-123 "), " ABC-123 ");
    EXPECT_EQ(EscapeSql("'"), "''");
    EXPECT_EQ(EscapeSql("O'Neil's"), "O''Neil''s");
    EXPECT_EQ(EscapeSql(""), "");
}

TEST(FormatDbTime, IsTheStoredTimeText) {
    EXPECT_EQ(FormatDbTime(QDateTime(QDate(2007, 3, 5), QTime(4, 3, 2))), "2007/03/05 04:03:02");
}

TEST(ConvertDbTime, MapSourceStyle_IsUpperCaseWithEnglishMonth) {
    EXPECT_EQ(ConvertDbTime("2007/03/05 14:03:22", 1), "05-MAR-07 14:03:22");
    EXPECT_EQ(ConvertDbTime("2010/12/31 00:00:00", 1), "31-DEC-10 00:00:00");
}

TEST(ConvertDbTime, OtherStyles_GiveTheGeneralDateText) {
    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    EXPECT_EQ(ConvertDbTime("2007/03/05 14:03:22", 0, QLocale::c()), "5 Mar 2007 14:03:22");
    EXPECT_EQ(ConvertDbTime("2007/03/05 00:00:00", 0, taiwan), "2007/3/5");
    EXPECT_EQ(ConvertDbTime("2007/03/05 14:03:22", 7, QLocale::c()), "5 Mar 2007 14:03:22");
}

TEST(ConvertDbTime, EmptyOrBrokenTexts_GiveAnEmptyText) {
    EXPECT_EQ(ConvertDbTime("", 0), "");
    EXPECT_EQ(ConvertDbTime("", 1), "");
    EXPECT_EQ(ConvertDbTime("2007/13/05 14:03:22", 1), "");
    EXPECT_EQ(ConvertDbTime("2007/03", 1), "");
    EXPECT_EQ(ConvertDbTime("99999/03/05 14:03:22", 1), "");
    EXPECT_EQ(ConvertDbTime("garbage", 0, QLocale::c()), "");
}

TEST(FormatDegMinSec, Coordinates_ShowDegreesMinutesSeconds) {
    EXPECT_EQ(FormatDegMinSec("東經", 121.5), "東經 121° 30' 00\" ");
    EXPECT_EQ(FormatDegMinSec("北緯", 25.0 + 3.0 / 60 + 7.0 / 3600), "北緯 25° 03' 07\" ");
    EXPECT_EQ(FormatDegMinSec("", 0.5), " 0° 30' 00\" ");
}

TEST(FormatDegMinSec, SecondsRoundingToSixty_AreNotCarried) {
    EXPECT_EQ(FormatDegMinSec("北緯", 25.0 + 59.8 / 3600), "北緯 25° 00' 60\" ");
    // 25.03125 and 25.09375 are exact binary values whose seconds are exactly 52.5 and 37.5.
    EXPECT_EQ(FormatDegMinSec("北緯", 25.03125), "北緯 25° 01' 52\" ");
    EXPECT_EQ(FormatDegMinSec("北緯", 25.09375), "北緯 25° 05' 38\" ");
}

TEST(FormatDegMinSec, ValuesNotAboveZero_GiveNothing) {
    EXPECT_EQ(FormatDegMinSec("東經", 0), "");
    EXPECT_EQ(FormatDegMinSec("東經", -121.5), "");
    EXPECT_EQ(FormatDegMinSec("東經", std::nan("")), "");
    EXPECT_EQ(FormatDegMinSec("東經", std::numeric_limits<double>::infinity()), "");
}

TEST(FormatKilometres, ZeroDecimal_IsDropped) {
    EXPECT_EQ(FormatKilometres(0), "0 公里");
    EXPECT_EQ(FormatKilometres(12.34F), "12.3 公里");
    EXPECT_EQ(FormatKilometres(1234), "1,234 公里");
    EXPECT_EQ(FormatKilometres(12.96F), "13 公里");
    EXPECT_EQ(FormatKilometres(999.96F), "1,000 公里");
    EXPECT_EQ(FormatKilometres(1000.5F), "1,000.5 公里");
}

TEST(FormatMetres, SmallOffsets_RoundToZero) {
    EXPECT_EQ(FormatMetres(0.04F), "0 公尺");
    EXPECT_EQ(FormatMetres(35.5F), "35.5 公尺");
}

TEST(DirectionName, Sectors_HalvesGoToTheEvenSector) {
    const std::vector<std::pair<float, const char*>> cases = {
        {0, "北"},      {44.9F, "東北"}, {359, "北"},    {405, "東北"},  {22.5F, "北"},
        {67.5F, "東"},  {112.5F, "東"},  {157.5F, "南"}, {202.5F, "南"}, {247.5F, "西"},
        {292.5F, "西"}, {337.5F, "北"},  {180, "南"},    {315, "西北"},  {-45, "西北"}};
    for (const auto& [heading, name] : cases) {
        EXPECT_EQ(DirectionName(heading), QString::fromUtf8(name)) << "heading " << heading;
    }
}

TEST(DirectionName, HugeHeading_ReachesTheCaller) {
    EXPECT_THROW(DirectionName(1e20F), RuntimeError);
}

class DeleteFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }
    void touch(const QString& name) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_folder;
    FakeMessageBox m_box;
};

TEST_F(DeleteFileTest, ExistingFile_IsDeleted) {
    touch("MAP8.BMP");
    EXPECT_TRUE(DeleteFile(path("MAP8.BMP"), true, m_box));
    EXPECT_FALSE(QFile::exists(path("MAP8.BMP")));
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(DeleteFileTest, MissingFileWithoutShowError_FailsSilently) {
    EXPECT_FALSE(DeleteFile(path("MAP8.BMP"), false, m_box));
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(DeleteFileTest, MissingFileWithShowError_ShowsAnExclamationWithTheDefaultTitle) {
    m_box.setDefaultTitle("Kestrova V1.0.3");
    const QString missing = path("MAP8.BMP");
    EXPECT_FALSE(DeleteFile(missing, true, m_box));
    ASSERT_EQ(m_box.shown.size(), 1U);
    EXPECT_EQ(m_box.shown[0].kind, "exclamation");
    EXPECT_EQ(m_box.shown[0].text, "檔案 '" + missing + "' 無法刪除。");
    EXPECT_EQ(m_box.shown[0].title, "Kestrova V1.0.3");
}

TEST_F(DeleteFileTest, Folder_IsNotDeleted) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("image"));
    EXPECT_FALSE(DeleteFile(path("image"), false, m_box));
    EXPECT_TRUE(QFileInfo(path("image")).isDir());
}

TEST_F(DeleteFileTest, Wildcards_DeleteEveryMatchingFileOnly) {
    for (const char* name : {"map0.bmp", "map1.bmp", "MAP12.BMP", "map1.gif", "route.txt"}) {
        touch(name);
    }
    EXPECT_TRUE(DeleteFile(path("map?.bmp"), true, m_box));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files, QDir::Name),
              QStringList({"MAP12.BMP", "map1.gif", "route.txt"}));
    EXPECT_TRUE(DeleteFile(path("map*"), true, m_box));
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files, QDir::Name), QStringList({"route.txt"}));
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(DeleteFileTest, StarDotStar_MatchesNamesWithoutExtension) {
    touch("Kestrova");
    touch("a[1].log");
    EXPECT_TRUE(DeleteFile(path("*.*"), false, m_box));
    EXPECT_TRUE(QDir(m_folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(DeleteFileTest, WildcardMatchingNothing_Fails) {
    touch("route.txt");
    EXPECT_FALSE(DeleteFile(path("*.bmp"), true, m_box));
    EXPECT_EQ(m_box.shown.size(), 1U);
    EXPECT_TRUE(QFile::exists(path("route.txt")));
}

class FakeTextBox {
public:
    explicit FakeTextBox(QString text) : m_text(std::move(text)) {}
    const QString& text() const { return m_text; }
    void setSelection(int start, int length) {
        selStart = start;
        selLength = length;
    }

    int selStart = -1;
    int selLength = -1;

private:
    QString m_text;
};

TEST(SelectAllText, SelectsTheWholeText) {
    FakeTextBox box("車牌 ABC");
    box.setSelection(3, 1);
    SelectAllText(box);
    EXPECT_EQ(box.selStart, 0);
    EXPECT_EQ(box.selLength, 6);
}

class FakeItem {
public:
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) {
        ++sets;
        if (failing) {
            throw std::runtime_error("item gone");
        }
        m_enabled = enabled;
    }

    int sets = 0;
    bool failing = false;

private:
    bool m_enabled = false;
};

std::vector<bool> enabledStates(const std::vector<FakeItem>& items) {
    std::vector<bool> states;
    for (const FakeItem& item : items) {
        states.push_back(item.isEnabled());
    }
    return states;
}

TEST(SetItemsEnabled, LastZero_TouchesOnlyFirst) {
    std::vector<FakeItem> items(3);
    SetItemsEnabled(items, true, 0, 0);
    EXPECT_EQ(enabledStates(items), std::vector<bool>({true, false, false}));
}

TEST(SetItemsEnabled, Range_TouchesFirstToLast) {
    std::vector<FakeItem> items(6);
    SetItemsEnabled(items, true, 2, 4);
    EXPECT_EQ(enabledStates(items), std::vector<bool>({false, false, true, true, true, false}));
}

TEST(SetItemsEnabled, ItemsAlreadyRight_AreLeftAlone) {
    std::vector<FakeItem> items(2);
    SetItemsEnabled(items, false, 0, 1);
    EXPECT_EQ(items[0].sets + items[1].sets, 0);
}

TEST(SetItemsEnabled, MissingAndFailingItems_AreSkipped) {
    std::vector<FakeItem> items(3);
    items[1].failing = true;
    SetItemsEnabled(items, true, -1, 5);
    EXPECT_EQ(enabledStates(items), std::vector<bool>({true, false, true}));

    FakeItem first;
    FakeItem third;
    std::vector<FakeItem*> holes = {&first, nullptr, &third};
    SetItemsEnabled(holes, true, 0, 2);
    EXPECT_TRUE(first.isEnabled());
    EXPECT_TRUE(third.isEnabled());
}

} // namespace
} // namespace kestrova
