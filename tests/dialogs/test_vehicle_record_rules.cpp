#include "dialogs/record_form_state.h"
#include "dialogs/vehicle_record_rules.h"
#include "startup/qstring_printer.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

using namespace kestrova;

namespace {

VehicleRow row(const QString& plate, const QString& phone) {
    VehicleRow r;
    r.PlateNumber = plate;
    r.PhoneNumber = phone;
    return r;
}

// Three stored rows and the spare empty element.
const std::vector<VehicleRow> kRows{row("AB-1", "0911000001"), row("CD-2", "0911000002"), row("EF-3", "0911000003"),
                                    VehicleRow()};

VehicleRow validEntry() {
    VehicleRow e = row("NEW-1", "0911999999");
    e.StrCaution = "08:30";
    e.EndCaution = "17:00";
    return e;
}

struct CheckCase {
    const char* name;
    RecordEditMode mode;
    std::function<void(VehicleRow&)> edit;
    std::optional<QString> expected;
};

} // namespace

TEST(FirstFailedCheck, ChecksInOrderWithTheirMessages) {
    const QString plate21(21, u'P');
    const CheckCase cases[] = {
        {"valid entry", RecordEditMode::Add, [](VehicleRow&) {}, std::nullopt},
        {"plate of 20 passes", RecordEditMode::Add, [](VehicleRow& e) { e.PlateNumber = QString(20, u'車'); },
         std::nullopt},
        {"plate of 21", RecordEditMode::Add, [&](VehicleRow& e) { e.PlateNumber = plate21; }, kPlateTooLong},
        {"empty terminal number fails check 2", RecordEditMode::Add, [](VehicleRow& e) { e.PhoneNumber.clear(); },
         kCheckTerminalNumber},
        {"letters in the terminal number", RecordEditMode::Add, [](VehicleRow& e) { e.PhoneNumber = "09x1"; },
         kCheckTerminalNumber},
        {"plate too long wins over an empty terminal number", RecordEditMode::Add,
         [&](VehicleRow& e) {
             e.PlateNumber = plate21;
             e.PhoneNumber.clear();
         },
         kPlateTooLong},
        {"terminal number of 21", RecordEditMode::Add, [](VehicleRow& e) { e.PhoneNumber = QString(21, u'9'); },
         kTerminalNumberTooLong},
        {"driver of 10 passes", RecordEditMode::Add, [](VehicleRow& e) { e.DriveName = QString(10, u'王'); },
         std::nullopt},
        {"driver of 11", RecordEditMode::Add, [](VehicleRow& e) { e.DriveName = QString(11, u'王'); }, kPlateTooLong},
        {"car brand of 11", RecordEditMode::Amend, [](VehicleRow& e) { e.CarBrand = QString(11, u'X'); },
         kPlateTooLong},
        {"telephone 1 of 16", RecordEditMode::Add, [](VehicleRow& e) { e.TelNumber1 = QString(16, u'1'); },
         kTel1TooLong},
        {"telephone 2 of 16", RecordEditMode::Add, [](VehicleRow& e) { e.TelNumber2 = QString(16, u'1'); },
         kTel2TooLong},
        {"mobile 1 of 16", RecordEditMode::Add, [](VehicleRow& e) { e.MobileNumber1 = QString(16, u'1'); },
         kMobile1TooLong},
        {"mobile 2 of 16, 15 elsewhere", RecordEditMode::Add,
         [](VehicleRow& e) {
             e.TelNumber1 = QString(15, u'1');
             e.MobileNumber2 = QString(16, u'1');
         },
         kMobile2TooLong},
        {"equal watch times", RecordEditMode::Amend, [](VehicleRow& e) { e.EndCaution = e.StrCaution; },
         kWatchTimeWrong},
        {"both unticked", RecordEditMode::Add, [](VehicleRow& e) { e.StrCaution = e.EndCaution = "N"; }, std::nullopt},
        {"end without start", RecordEditMode::Add, [](VehicleRow& e) { e.StrCaution = "N"; }, std::nullopt},
        {"stored plate in add mode", RecordEditMode::Add, [](VehicleRow& e) { e.PlateNumber = "CD-2"; }, kSamePlate},
        {"same letters in another case", RecordEditMode::Add, [](VehicleRow& e) { e.PlateNumber = "cd-2"; },
         std::nullopt},
        {"empty plate meets the spare element", RecordEditMode::Add, [](VehicleRow& e) { e.PlateNumber.clear(); },
         kSamePlate},
        {"stored terminal number, tested after the plate", RecordEditMode::Add,
         [](VehicleRow& e) { e.PhoneNumber = "0911000003"; }, kSameTerminalNumber},
        {"amend to another row's plate", RecordEditMode::Amend, [](VehicleRow& e) { e.PlateNumber = "EF-3"; },
         kSamePlate},
        {"amend keeping the own plate", RecordEditMode::Amend, [](VehicleRow& e) { e.PlateNumber = "CD-2"; },
         std::nullopt},
        {"amend to an empty plate", RecordEditMode::Amend, [](VehicleRow& e) { e.PlateNumber.clear(); }, std::nullopt},
        {"amend to another case of a plate", RecordEditMode::Amend, [](VehicleRow& e) { e.PlateNumber = "ab-1"; },
         std::nullopt},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        VehicleRow entered = validEntry();
        c.edit(entered);
        // The amended row is CD-2, index 1.
        EXPECT_EQ(FirstFailedCheck(entered, c.mode, kRows, 1), c.expected);
    }
}

TEST(WatchTime, StoredTextSelectsListPositions) {
    const std::pair<QString, WatchTimeSelection> cases[] = {
        {"N", {false, -1, -1}},    {"08:30", {true, 7, 30}}, {"00:00", {true, -1, 0}},
        {"24:59", {true, 23, 59}}, {"17:00", {true, 16, 0}}, {"25:60", {true, -1, -1}},
        {"ab", {true, -1, -1}},    {"", {true, -1, -1}},     {"8:x", {true, 7, -1}},
    };
    for (const auto& [stored, expected] : cases) {
        EXPECT_EQ(SelectWatchTime(stored), expected) << stored.toStdString();
    }
}

TEST(WatchTime, BoxesGiveTheStoredText) {
    EXPECT_EQ(WatchTimeText(false, "8", "30"), "N");
    EXPECT_EQ(WatchTimeText(true, "", "30"), "00:00");
    EXPECT_EQ(WatchTimeText(true, "8", ""), "00:00");
    EXPECT_EQ(WatchTimeText(true, "8", "5"), "08:05");
    EXPECT_EQ(WatchTimeText(true, "24", "0"), "24:00");
    // What the dialog writes reads back as the same list positions.
    EXPECT_EQ(SelectWatchTime(WatchTimeText(true, "24", "0")), (WatchTimeSelection{true, 23, 0}));
}

TEST(FindRows, PlateIgnoresCaseAndBlanksButNeverTheSpare) {
    EXPECT_EQ(FindPlateIndex(kRows, "  cd-2 "), 1);
    EXPECT_EQ(FindPlateIndex(kRows, "CD"), -1);
    EXPECT_EQ(FindPlateIndex(kRows, ""), -1);
    std::vector<VehicleRow> withEmptyPlate = kRows;
    withEmptyPlate[2].PlateNumber.clear();
    EXPECT_EQ(FindPlateIndex(withEmptyPlate, " "), 2);
    EXPECT_EQ(FindPhoneNumberIndex(kRows, "0911000003"), 2);
    EXPECT_EQ(FindPhoneNumberIndex(kRows, ""), -1);
}

TEST(RecordFormState, FollowsModeRowAndCount) {
    const RecordFormState empty = ComputeRecordFormState(RecordEditMode::Browse, 0, 0);
    EXPECT_EQ(empty.panel1, "資料錄：0/0");
    EXPECT_EQ(empty.panel2, "沒有資料");
    EXPECT_TRUE(empty.NewRec && empty.Exit);
    EXPECT_FALSE(empty.AmendmentRec || empty.DelRec || empty.Search || empty.CancelRec || empty.WriteRec ||
                 empty.FirstRec || empty.ReplyRec || empty.NextRec || empty.LastRec);
    EXPECT_FALSE(empty.FraRec || empty.FraCar || empty.recordInputs || empty.terminalNumber || empty.carOptions);

    const RecordFormState first = ComputeRecordFormState(RecordEditMode::Browse, 0, 12);
    EXPECT_EQ(first.panel1, "資料錄：1/12");
    EXPECT_EQ(first.panel2, "");
    EXPECT_TRUE(first.AmendmentRec && first.DelRec && first.Search && first.NextRec && first.LastRec);
    EXPECT_FALSE(first.FirstRec || first.ReplyRec);
    const RecordFormState last = ComputeRecordFormState(RecordEditMode::Browse, 11, 12);
    EXPECT_TRUE(last.FirstRec && last.ReplyRec);
    EXPECT_FALSE(last.NextRec || last.LastRec);
    EXPECT_EQ(ComputeRecordFormState(RecordEditMode::Browse, 2, 12).panel1, "資料錄：3/12");

    const RecordFormState add = ComputeRecordFormState(RecordEditMode::Add, 2, 12);
    EXPECT_EQ(add.panel2, "新增資料");
    EXPECT_TRUE(add.CancelRec && add.WriteRec && add.FraRec && add.FraCar && add.recordInputs && add.terminalNumber);
    EXPECT_FALSE(add.NewRec || add.Exit || add.DelRec || add.Search || add.FirstRec || add.NextRec || add.watchTimes);
    const RecordFormState amend = ComputeRecordFormState(RecordEditMode::Amend, 2, 12);
    EXPECT_EQ(amend.panel2, "修改資料");
    EXPECT_TRUE(amend.recordInputs && amend.carOptions);
    EXPECT_FALSE(amend.terminalNumber || amend.watchTimes);
}
