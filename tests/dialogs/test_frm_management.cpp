#include "dialogs/frm_management.h"
#include "dialogs/modal_dialog.h"
#include "records_dialog_fixture.h"
#include "startup/qstring_printer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using namespace kestrova;
using kestrova::test::ShownBox;
using kestrova::test::WhenModalShown;

namespace {

const char* const kKeys[] = {"NewRec",   "AmendmentRec", "DelRec",  "CancelRec", "WriteRec", "Search",
                             "FirstRec", "ReplyRec",     "NextRec", "LastRec",   "Exit"};

class RecordsDialog : public kestrova::test::DialogFixture {
protected:
    std::unique_ptr<frmManagement> open() {
        auto dialog = std::make_unique<frmManagement>(m_protocol, m_db.db, folder(), m_settings, m_box, m_programEnd);
        dialog->Form_Load();
        return dialog;
    }

    static void click(frmManagement& dialog, const char* key) { dialog.button(QLatin1String(key))->trigger(); }

    static QStringList enabledKeys(const frmManagement& dialog) {
        QStringList keys;
        for (const char* key : kKeys) {
            if (dialog.button(QLatin1String(key))->isEnabled()) {
                keys << key;
            }
        }
        return keys;
    }

    // Types a record into the inputs: plate, terminal number, driver.
    static void type(frmManagement& dialog, const QString& plate, const QString& phone, const QString& driver = {}) {
        dialog.VehicleTxt(0)->setText(plate);
        dialog.VehicleTxt(1)->setText(phone);
        dialog.VehicleTxt(3)->setText(driver);
    }

    QStringList storedPlates() {
        QStringList plates;
        for (const FetchedVehicle& v : ReadVehicles(m_db.db)) {
            plates << v.PlateNumber;
        }
        return plates;
    }

    void searchFor(frmManagement& dialog, const QString& text) {
        WhenModalShown("frmSearch", [text](QDialog& search) {
            search.findChild<QLineEdit*>("txtSearch")->setText(text);
            search.findChild<QPushButton*>("cmdOK")->click();
        });
        click(dialog, "Search");
    }
};

} // namespace

TEST_F(RecordsDialog, EmptyRegister_OffersOnlyNewAndExit) {
    const auto dialog = open();
    EXPECT_EQ(dialog->statusText(1), "資料錄：0/0");
    EXPECT_EQ(dialog->statusText(2), "沒有資料");
    EXPECT_EQ(enabledKeys(*dialog), QStringList({"NewRec", "Exit"}));
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(dialog->VehicleTxt(i)->text().isEmpty());
        EXPECT_FALSE(dialog->VehicleTxt(i)->isEnabled());
    }
    EXPECT_EQ(dialog->Combo(1)->count(), 24);
    EXPECT_EQ(dialog->Combo(1)->itemText(0), "1");
    EXPECT_EQ(dialog->Combo(4)->itemText(59), "59");
    EXPECT_EQ(dialog->Combo(1)->currentText(), "");
    EXPECT_EQ(m_protocol.gDialogOK, 0);
}

TEST_F(RecordsDialog, Add_ShowsTheWrittenRowAtItsPlaceInPlateOrder) {
    addVehicle("B-2", "0911000002");
    addVehicle("C-3", "0911000003");
    const auto dialog = open();

    click(*dialog, "NewRec");
    EXPECT_EQ(dialog->statusText(2), "新增資料");
    EXPECT_EQ(enabledKeys(*dialog), QStringList({"CancelRec", "WriteRec"}));
    type(*dialog, "  A-1 ", "0911000001", "王小明");
    dialog->Check1()->setChecked(false);
    dialog->Check1()->setChecked(true);
    EXPECT_TRUE(dialog->Combo(1)->isEnabled());
    dialog->Combo(1)->setEditText("8");
    dialog->Combo(2)->setEditText("5");
    dialog->Combo(4)->setEditText("");
    dialog->Option2()->setChecked(true);
    dialog->CarOption(2)->setChecked(true);
    click(*dialog, "WriteRec");

    EXPECT_TRUE(m_box.shown.empty());
    EXPECT_EQ(dialog->EditMode(), RecordEditMode::Browse);
    EXPECT_EQ(dialog->CurrentIndex(), 0);
    EXPECT_EQ(dialog->statusText(1), "資料錄：1/3");
    EXPECT_EQ(dialog->VehicleTxt(0)->text(), "A-1");
    EXPECT_EQ(m_protocol.gDialogOK, 1);
    const FetchedVehicle added = ReadVehicles(m_db.db).front();
    EXPECT_EQ(added.PlateNumber, "A-1");
    EXPECT_EQ(added.DriveName, "王小明");
    EXPECT_EQ(added.StrCaution, "08:05");
    EXPECT_EQ(added.EndCaution, "00:00");
    EXPECT_FALSE(added.Dial);
    EXPECT_EQ(added.CarType, 2);
    EXPECT_EQ(added.Healthy, "00000");

    click(*dialog, "NewRec");
    type(*dialog, "Z-9", "0911000009");
    click(*dialog, "WriteRec");
    EXPECT_EQ(dialog->CurrentIndex(), 3);
    EXPECT_EQ(dialog->statusText(1), "資料錄：4/4");
}

TEST_F(RecordsDialog, RefusedEntry_KeepsModeTypedValuesAndRegister) {
    addVehicle("B-2", "0911000002", "08:30", "N");
    const auto dialog = open();
    click(*dialog, "NewRec");
    // The new record keeps the shown row's watch start.
    EXPECT_TRUE(dialog->Check1()->isChecked());
    EXPECT_EQ(dialog->Combo(1)->currentText(), "8");
    EXPECT_EQ(dialog->Combo(2)->currentText(), "30");
    type(*dialog, "B-2", "0911000005", "driver");
    click(*dialog, "WriteRec");

    EXPECT_EQ(m_box.shown, (std::vector<ShownBox>{{"question", "車牌號碼相同!", "確認"}}));
    EXPECT_EQ(dialog->EditMode(), RecordEditMode::Add);
    EXPECT_EQ(dialog->statusText(2), "新增資料");
    EXPECT_EQ(dialog->VehicleTxt(0)->text(), "B-2");
    EXPECT_EQ(dialog->VehicleTxt(3)->text(), "driver");
    EXPECT_EQ(storedPlates(), QStringList({"B-2"}));
    EXPECT_EQ(m_protocol.gDialogOK, 0);

    click(*dialog, "CancelRec");
    EXPECT_EQ(dialog->EditMode(), RecordEditMode::Browse);
    EXPECT_EQ(dialog->VehicleTxt(1)->text(), "0911000002");
}

TEST_F(RecordsDialog, Amend_KeepsTheTerminalNumberAndMovesTheRowToItsNewPlace) {
    addVehicle("A-1", "0911000001");
    addVehicle("B-2", "0911000002");
    addVehicle("C-3", "0911000003");
    m_db.db.UpdateVehicle(0, "B-2", "0911000002", "", "", "", "", "", "", "N", "N", 1, true, "2024/03/05 14:03:22",
                          "即時位置", "東經", 121.5, "北緯", 25.0, 36, 90, 12.5, "00012");
    const auto dialog = open();
    click(*dialog, "NextRec");
    click(*dialog, "AmendmentRec");
    EXPECT_EQ(dialog->statusText(2), "修改資料");
    EXPECT_FALSE(dialog->VehicleTxt(1)->isEnabled());
    EXPECT_TRUE(dialog->VehicleTxt(0)->isEnabled());
    EXPECT_FALSE(dialog->Combo(1)->isEnabled());

    dialog->VehicleTxt(0)->setText("Z-0");
    click(*dialog, "WriteRec");
    EXPECT_EQ(dialog->CurrentIndex(), 2);
    EXPECT_EQ(dialog->VehicleTxt(0)->text(), "Z-0");
    EXPECT_EQ(dialog->statusText(1), "資料錄：3/3");
    const FetchedVehicle amended = ReadVehicles(m_db.db).back();
    EXPECT_EQ(amended.PhoneNumber, "0911000002");
    EXPECT_EQ(amended.DialTime, "2024/03/05 14:03:22");
    EXPECT_EQ(amended.Healthy, "00012");
    EXPECT_DOUBLE_EQ(amended.X, 121.5);
    EXPECT_EQ(m_protocol.gDialogOK, 1);
}

TEST_F(RecordsDialog, Amend_ToAnotherVehiclesPlate_IsRefused) {
    addVehicle("A-1", "0911000001");
    addVehicle("C-3", "0911000003");
    const auto dialog = open();
    click(*dialog, "LastRec");
    click(*dialog, "AmendmentRec");
    dialog->VehicleTxt(0)->setText("A-1");
    click(*dialog, "WriteRec");
    EXPECT_EQ(m_box.shown, (std::vector<ShownBox>{{"question", "車牌號碼相同!", "確認"}}));
    EXPECT_EQ(dialog->EditMode(), RecordEditMode::Amend);
    EXPECT_EQ(storedPlates(), QStringList({"A-1", "C-3"}));
}

TEST_F(RecordsDialog, Delete_ShowsTheRowBeforeOrTheNewFirst) {
    const struct {
        int at;
        int expectedIndex;
        const char* expectedPlate;
    } cases[] = {{0, 0, "B-2"}, {2, 1, "B-2"}, {1, 0, "A-1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        TempDatabase fresh;
        for (const auto& [plate, phone] : {std::pair{"A-1", "01"}, std::pair{"B-2", "02"}, std::pair{"C-3", "03"}}) {
            fresh.addVehicle(plate, phone);
        }
        fresh.addLog("02", "2024/03/05 14:03:22");
        m_box.shown.clear();
        frmManagement dialog(m_protocol, fresh.db, folder(), m_settings, m_box, m_programEnd);
        dialog.Form_Load();
        for (int i = 0; i < c.at; ++i) {
            click(dialog, "NextRec");
        }
        click(dialog, "DelRec");
        EXPECT_EQ(m_box.shown, (std::vector<ShownBox>{{"question", "確定刪除這筆資料？", "確認刪除"}}));
        EXPECT_EQ(dialog.CurrentIndex(), c.expectedIndex);
        EXPECT_EQ(dialog.VehicleTxt(0)->text(), c.expectedPlate);
        EXPECT_EQ(dialog.statusText(1), QStringLiteral("資料錄：%1/2").arg(c.expectedIndex + 1));
        EXPECT_EQ(m_protocol.gDialogOK, 1);
        EXPECT_EQ(fresh.count("CommLog"), c.at == 1 ? 0 : 1);
    }
}

TEST_F(RecordsDialog, DeleteLastRow_EmptiesTheInputs_AndExitKeepsTheFlag) {
    addVehicle("A-1", "0911000001", "08:30", "17:00");
    const auto dialog = open();
    m_box.answer = false;
    click(*dialog, "DelRec");
    EXPECT_EQ(storedPlates(), QStringList({"A-1"}));
    EXPECT_EQ(m_protocol.gDialogOK, 0);

    m_box.answer = true;
    click(*dialog, "DelRec");
    EXPECT_TRUE(storedPlates().isEmpty());
    EXPECT_TRUE(dialog->VehicleTxt(0)->text().isEmpty());
    for (int number = 1; number <= 4; ++number) {
        EXPECT_EQ(dialog->Combo(number)->currentIndex(), -1) << number;
    }
    EXPECT_FALSE(dialog->Check1()->isChecked());
    EXPECT_FALSE(dialog->Check2()->isChecked());
    EXPECT_EQ(dialog->statusText(2), "沒有資料");

    dialog->show();
    click(*dialog, "Exit");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(m_protocol.gDialogOK, 1);
}

TEST_F(RecordsDialog, WatchBoxes_StartUntickedWithEndTicksBoth) {
    addVehicle("A-1", "01", "08:30", "N");
    addVehicle("B-2", "02", "N", "17:00");
    const auto dialog = open();
    EXPECT_TRUE(dialog->Check1()->isChecked());
    EXPECT_FALSE(dialog->Check2()->isChecked());
    click(*dialog, "NextRec");
    EXPECT_TRUE(dialog->Check1()->isChecked());
    EXPECT_TRUE(dialog->Check2()->isChecked());
    EXPECT_EQ(dialog->Combo(1)->currentText(), "8");
    EXPECT_EQ(dialog->Combo(3)->currentText(), "17");
    EXPECT_EQ(dialog->Combo(4)->currentText(), "0");
}

// Typed watch times: a keystroke that would make a number outside its list does not go in, so the
// hour 99, the minute 75 and the hour 0 can never be stored.
TEST_F(RecordsDialog, TypedWatchTimes_TakeOnlyNumbersOfTheirLists) {
    const auto dialog = open();
    click(*dialog, "NewRec");
    type(*dialog, "A-1", "0911000001");
    dialog->Check1()->setChecked(true);
    const auto typed = [&](int number, const QString& keys) {
        QLineEdit* box = dialog->Combo(number)->lineEdit();
        box->clear();
        for (const QChar key : keys) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + key.digitValue(), Qt::NoModifier, QString(key));
            QCoreApplication::sendEvent(box, &press);
        }
        return box->text();
    };
    EXPECT_EQ(typed(1, "99"), "9");
    EXPECT_EQ(typed(1, "0"), "");
    EXPECT_EQ(typed(1, "25"), "2");
    EXPECT_EQ(typed(2, "75"), "7");
    EXPECT_EQ(typed(2, "60"), "6");
    EXPECT_EQ(typed(3, "24"), "24");
    EXPECT_EQ(typed(4, "59"), "59");
    EXPECT_EQ(typed(2, "30"), "30");
    click(*dialog, "WriteRec");

    EXPECT_TRUE(m_box.shown.empty());
    const FetchedVehicle added = ReadVehicles(m_db.db).front();
    EXPECT_EQ(added.StrCaution, "02:30");
    EXPECT_EQ(added.EndCaution, "24:59");
}

TEST_F(RecordsDialog, NestedSearch_FindsByPlateAndPutsTheFlagBack) {
    addVehicle("KS-201", "01");
    addVehicle("KS-202", "02");
    addVehicle("KS-203", "03");
    const auto dialog = open();

    searchFor(*dialog, "  ks-202 ");
    EXPECT_EQ(dialog->CurrentIndex(), 1);
    EXPECT_EQ(dialog->VehicleTxt(0)->text(), "KS-202");
    EXPECT_EQ(m_protocol.gDialogOK, 0);
    EXPECT_EQ(m_settings.GetIniString("Search", "VehicleNumber"), "ks-202");

    m_protocol.gDialogOK = 1;
    searchFor(*dialog, "KS-2");
    EXPECT_EQ(m_box.shown, (std::vector<ShownBox>{{"exclamation", "找不到車輛。", m_box.defaultTitle()}}));
    EXPECT_EQ(dialog->CurrentIndex(), 1);
    EXPECT_EQ(m_protocol.gDialogOK, 1);

    WhenModalShown("frmSearch", [](QDialog& search) {
        // The last confirmed text is offered again.
        EXPECT_EQ(search.findChild<QLineEdit*>("txtSearch")->text(), "KS-2");
        search.findChild<QPushButton*>("cmdCancel")->click();
    });
    click(*dialog, "Search");
    EXPECT_EQ(m_protocol.gDialogOK, 1);
    EXPECT_EQ(dialog->CurrentIndex(), 1);
    EXPECT_EQ(m_programEnds, 0);
}
