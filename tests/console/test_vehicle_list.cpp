#include "console/vehicle_list.h"

#include "data/data_errors.h"
#include "data/temp_database.h"
#include "fake_vehicle_list.h"
#include "startup/code_page.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"

#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::FakeMessageBox;
using kestrova::test::ShownBox;
using Column = kestrova::VehicleListColumn;

namespace {

const QString kTitle = QStringLiteral("Kestrova V1.0.3");

VehicleRecord Vehicle(const QString& plate, const QString& phone, bool dial = true,
                      const QString& healthy = QStringLiteral("00000"), double x = 0, double y = 0) {
    VehicleRecord v;
    v.PlateNumber = plate;
    v.PhoneNumber = phone;
    v.StrCaution = v.EndCaution = QStringLiteral("N");
    v.Dial = dial;
    v.DialTime = QStringLiteral("2024/03/05 14:03:22");
    v.CheckPoint = kCheckRealTime;
    v.EW = kEastLongitude;
    v.NS = kNorthLatitude;
    v.X = x;
    v.Y = y;
    v.Speed = 12.3f;
    v.Direction = 90;
    v.Healthy = healthy;
    return v;
}

class VehicleListTest : public ::testing::Test {
protected:
    VehicleListTest() {
        m_box.setDefaultTitle(kTitle);
        m_state.CurrentVehicle = -1;
        m_toolBar.enabled[QStringLiteral("Dial")] = true;
    }

    // Adds a Vehicle row holding every field of v.
    void store(const VehicleRecord& v) {
        clsDBLib& db = m_db.db;
        db.InsertVehicle(0, v.PlateNumber, v.PhoneNumber, v.CarBrand, v.DriveName, v.TelNumber1, v.TelNumber2,
                         v.MobileNumber1, v.MobileNumber2, v.StrCaution, v.EndCaution, v.CarType, v.Dial, QString());
        db.UpdateVehicle(0, v.PlateNumber, v.PhoneNumber, v.CarBrand, v.DriveName, v.TelNumber1, v.TelNumber2,
                         v.MobileNumber1, v.MobileNumber2, v.StrCaution, v.EndCaution, v.CarType, v.Dial, v.DialTime,
                         v.CheckPoint, v.EW, v.X, v.NS, v.Y, v.Speed, v.Direction, v.Offset, v.Healthy);
    }

    // Vehicles A to D, A and C with a position.
    void storeFour() {
        store(Vehicle("C", "300", true, "00000", 121.3, 25.3));
        store(Vehicle("A", "100", true, "00000", 121.1, 25.1));
        store(Vehicle("D", "400"));
        store(Vehicle("B", "200"));
    }

    std::vector<int> refreshedRows() const { return m_list.scrolledTo; }

    TempDatabase m_db;
    SettingsFile m_settings{m_db.folder.path(), CodePage(QByteArrayLiteral("UTF-8"))};
    MainWindowState m_state;
    test::FakeVehicleListView m_list;
    test::FakeVehiclePopupMenu m_menu;
    test::FakePanelChoosers m_choosers;
    test::FakeToolBar m_toolBar;
    test::FakeConsoleTabs m_tabs;
    FakeMessageBox m_box;
    int m_ended = 0;
    ProgramEnd m_programEnd{m_box, [this] { ++m_ended; }};
    int m_resizes = 0;
    int m_doEvents = 0;
    std::function<void()> m_onDoEvents;
    QStringList m_described;
    VehicleList m_logic{{m_state, m_db.db, m_settings, m_list, m_menu, m_choosers, m_toolBar, m_tabs, m_box,
                         m_programEnd, [this] { ++m_resizes; },
                         [this] {
                             ++m_doEvents;
                             if (m_onDoEvents) {
                                 m_onDoEvents();
                             }
                         },
                         [this](double x, double y, QString& text) {
                             text = QStringLiteral("near %1,%2").arg(x).arg(y);
                             m_described << text;
                         }}};
};

TEST_F(VehicleListTest, LoadVehicleList_EmptyRegister_LeavesOnlyThePlaybackSlotAndDisablesEverything) {
    m_logic.LoadVehicleList();

    ASSERT_EQ(m_state.Vehicles.size(), 1u);
    EXPECT_TRUE(m_state.Vehicles[0].PlateNumber.isEmpty());
    EXPECT_EQ(m_list.rowCount(), 0);
    for (const auto& chooser : m_choosers.choosers) {
        EXPECT_TRUE(chooser.items.isEmpty());
        EXPECT_EQ(chooser.listIndex, -1);
        EXPECT_FALSE(chooser.enabled);
    }
    for (const char* key : {"Search", "Kestrova", "ManualCall", "Dial", "TrackQuery"}) {
        EXPECT_FALSE(m_toolBar.isButtonEnabled(key)) << key;
    }

    m_logic.CarList_Click();
    EXPECT_EQ(m_toolBar.captions["Showlist"], "隱藏列表");
    EXPECT_EQ(m_resizes, 1);
    EXPECT_EQ(m_doEvents, 0);
    EXPECT_EQ(m_ended, 0);
}

TEST_F(VehicleListTest, LoadVehicleList_Register_FollowsPlateOrderWithKeysAndUnmarkedRows) {
    store(Vehicle("B", "200", false, "22222"));
    store(Vehicle("A", "100", true));
    m_tabs.tab = 1;

    m_logic.LoadVehicleList();

    ASSERT_EQ(m_state.Vehicles.size(), 3u);
    EXPECT_EQ(m_state.Vehicles[0].PhoneNumber, "100");
    EXPECT_EQ(m_state.Vehicles[1].Healthy, "22222");
    EXPECT_TRUE(m_state.Vehicles[2].PlateNumber.isEmpty());
    ASSERT_EQ(m_list.rowCount(), 2);
    EXPECT_EQ(m_list.rows[0].key, "#A");
    EXPECT_EQ(m_list.findRow("#B"), 1);
    EXPECT_EQ(m_list.cellText(0, Column::Dial), "是");
    EXPECT_EQ(m_list.cellText(1, Column::Dial), "");
    EXPECT_EQ(m_list.cellText(1, Column::Speed), "12.3 公里");
    EXPECT_EQ(m_list.cellText(1, Column::Direction), "東");
    // Marking is the refresh's: a freshly loaded row keeps the list's own font and colour.
    EXPECT_FALSE(m_list.rows[1].bold[0]);
    EXPECT_FALSE(m_list.rows[1].colours[0].has_value());
    EXPECT_EQ(m_list.selectedRow(), 0);
    EXPECT_FALSE(m_toolBar.isButtonEnabled("Search")); // tab 1 is showing
    for (const char* key : {"Kestrova", "ManualCall", "Dial", "TrackQuery"}) {
        EXPECT_TRUE(m_toolBar.isButtonEnabled(key)) << key;
    }
}

TEST_F(VehicleListTest, LoadVehicleList_KeptChooserPlates_AreChosenAgainOrFallBackToTheFirst) {
    storeFour();
    m_settings.WriteIniString("Vehicle", "0", "C");
    m_settings.WriteIniString("Vehicle", "1", "gone");
    m_settings.WriteIniString("Vehicle", "2", "B");
    m_settings.WriteIniString("Vehicle", "3", "c"); // plates compare case-sensitively
    // Chooser 2 shows D at reload time: that wins over its stored key.
    m_choosers.choosers[2] = {{"A", "D"}, 1, true};
    std::vector<bool> loadingAtClick;
    m_choosers.onClick = [&](int) { loadingAtClick.push_back(m_state.bLoadingVehicles); };

    m_logic.LoadVehicleList();

    EXPECT_EQ(m_choosers.text(0), "C");
    EXPECT_EQ(m_choosers.text(1), "A");
    EXPECT_EQ(m_choosers.text(2), "D");
    EXPECT_EQ(m_settings.GetIniString("Vehicle", "2"), "D");
    EXPECT_EQ(m_choosers.text(3), "A");
    EXPECT_EQ(m_settings.GetIniString("Vehicle", "1"), "gone"); // an empty chooser left its key alone
    for (const auto& chooser : m_choosers.choosers) {
        EXPECT_EQ(chooser.items, QStringList({"A", "B", "C", "D"}));
        EXPECT_TRUE(chooser.enabled);
    }
    EXPECT_EQ(loadingAtClick, std::vector<bool>(8, true)); // no chooser draws its panel while loading
    EXPECT_FALSE(m_state.bLoadingVehicles);
}

TEST_F(VehicleListTest, LoadVehicleList_Reload_KeepsARowSelected) {
    storeFour();
    m_logic.LoadVehicleList();
    m_list.selectRow(2);

    m_logic.LoadVehicleList();
    EXPECT_EQ(m_list.selectedRow(), 2);

    m_db.db.DeleteVehicle("C");
    m_db.db.DeleteVehicle("D");
    m_logic.LoadVehicleList();
    EXPECT_EQ(m_list.selectedRow(), 1);
}

TEST_F(VehicleListTest, LoadVehicleList_UnreadableDatabase_EndsTheProgramWithItsError) {
    m_db.db.CloseConnection();

    m_logic.LoadVehicleList();

    EXPECT_EQ(m_ended, 1);
    EXPECT_EQ(m_box.shown, std::vector<ShownBox>({{"critical", kConnectionClosed, kTitle}}));
}

TEST_F(VehicleListTest, CarList_Click_Refresh_MarksOnlyRowsWhoseLastFiveCallsFailed) {
    store(Vehicle("A", "100", true, "22222"));
    store(Vehicle("B", "200", true, "02222"));
    m_logic.LoadVehicleList();

    m_logic.CarList_Click();

    const auto& marked = m_list.rows[0];
    const auto& plain = m_list.rows[1];
    EXPECT_TRUE(marked.bold[0]);
    EXPECT_FALSE(plain.bold[0]);
    for (int c = 0; c < kVehicleListColumnCount; ++c) {
        if (static_cast<Column>(c) == Column::Dial) {
            EXPECT_FALSE(marked.colours[c].has_value());
            continue;
        }
        EXPECT_EQ(marked.colours[c], 255) << c;
        EXPECT_EQ(plain.colours[c], 0) << c;
    }

    // A marked vehicle that answers again loses its marking at the next refresh.
    m_state.Vehicles[0].Healthy = "22220";
    m_logic.CarList_Click();
    m_logic.CarList_Click();
    EXPECT_FALSE(m_list.rows[0].bold[0]);
    EXPECT_EQ(m_list.rows[0].colours[2], 0);
}

TEST_F(VehicleListTest, CarList_Click_Refresh_DescribesVehiclesWithAPositionAndEndsOnTheLastRow) {
    storeFour();
    m_logic.LoadVehicleList();
    m_state.Vehicles[1].Address = "old place"; // B, without a position

    m_logic.CarList_Click();

    EXPECT_EQ(m_described, QStringList({"near 121.1,25.1", "near 121.3,25.3"}));
    EXPECT_EQ(m_state.Vehicles[0].Address, "near 121.1,25.1");
    EXPECT_EQ(m_list.cellText(0, Column::Position), "near 121.1,25.1");
    EXPECT_EQ(m_list.cellText(1, Column::Position), "old place");
    EXPECT_EQ(m_doEvents, 4);
    EXPECT_EQ(refreshedRows(), std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(m_list.selectedRow(), 3);

    m_logic.CarList_Click();
    EXPECT_FALSE(m_state.ListVisible);
    EXPECT_EQ(m_toolBar.captions["Showlist"], "顯示列表");
    EXPECT_EQ(m_resizes, 2);
    EXPECT_EQ(m_doEvents, 4);
}

TEST_F(VehicleListTest, CarList_Click_HiddenMeanwhile_StopsBeforeTheNextRow) {
    storeFour();
    m_logic.LoadVehicleList();
    m_onDoEvents = [this] {
        if (m_doEvents == 2) {
            m_logic.CarList_Click();
        }
    };

    m_logic.CarList_Click();

    EXPECT_FALSE(m_state.ListVisible);
    EXPECT_EQ(refreshedRows(), std::vector<int>({0}));
}

TEST_F(VehicleListTest, CarList_Click_HiddenAndShownAgainMeanwhile_RefreshesEachRowOnce) {
    storeFour();
    m_logic.LoadVehicleList();
    m_onDoEvents = [this] {
        if (m_doEvents == 2) {
            m_logic.CarList_Click();
            m_logic.CarList_Click();
        }
    };

    m_logic.CarList_Click();

    EXPECT_TRUE(m_state.ListVisible);
    EXPECT_EQ(refreshedRows(), std::vector<int>({0, 0, 1, 2, 3}));
    EXPECT_EQ(m_described.size(), 3); // A by both refreshes, C by the second only
    EXPECT_EQ(m_list.selectedRow(), 3);
}

TEST_F(VehicleListTest, CarList_Click_RowsRemovedMeanwhile_StopsAtTheRowsThatExist) {
    storeFour();
    m_logic.LoadVehicleList();
    m_onDoEvents = [this] {
        if (m_doEvents == 3) {
            m_db.db.DeleteVehicle("B");
            m_db.db.DeleteVehicle("C");
            m_db.db.DeleteVehicle("D");
            m_logic.LoadVehicleList();
        }
    };

    m_logic.CarList_Click();

    EXPECT_EQ(refreshedRows(), std::vector<int>({0, 1}));
    EXPECT_EQ(m_list.rowCount(), 1);
    EXPECT_EQ(m_ended, 0);
}

TEST_F(VehicleListTest, MouseUp_RightButtonAlone_OffersTheToggleForTheSelectedVehicle) {
    store(Vehicle("A", "100", true));
    store(Vehicle("B", "200", false));
    m_logic.LoadVehicleList();

    m_logic.lvwVehicle_MouseUp(2, 0, 30, 40);
    EXPECT_EQ(m_menu.pad0.caption, "取消追蹤(&D)");
    EXPECT_TRUE(m_menu.pad0.enabled);

    m_list.selectRow(1);
    m_state.CurrentVehicle = 0; // calling under way
    m_logic.lvwVehicle_MouseUp(2, 0, 50, 60);
    EXPECT_EQ(m_menu.pad0.caption, "列入追蹤(&D)");
    EXPECT_FALSE(m_menu.pad0.enabled);
    EXPECT_EQ(m_menu.popUps, (std::vector<std::pair<int, int>>{{30, 40}, {50, 60}}));

    for (int16_t shift : {1, 2, 4}) {
        m_logic.lvwVehicle_MouseUp(2, shift, 0, 0);
    }
    m_logic.lvwVehicle_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(m_menu.popUps.size(), 2u);
}

TEST_F(VehicleListTest, menVehiclePad_Click_TogglesDialAndWritesTheVehicleAtOnce) {
    store(Vehicle("A", "100", true));
    m_logic.LoadVehicleList();
    m_state.Vehicles[0].Healthy = "00002"; // a call result not yet written goes with it

    m_logic.menVehiclePad_Click(0);

    EXPECT_FALSE(m_state.Vehicles[0].Dial);
    EXPECT_EQ(m_list.cellText(0, Column::Dial), "");
    auto stored = ReadVehicles(m_db.db);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_FALSE(stored[0].Dial);
    EXPECT_EQ(stored[0].Healthy, "00002");

    m_logic.menVehiclePad_Click(0);
    EXPECT_EQ(m_list.cellText(0, Column::Dial), "是");
    EXPECT_TRUE(ReadVehicles(m_db.db)[0].Dial);

    m_state.CurrentVehicle = 0;
    m_logic.menVehiclePad_Click(0);
    EXPECT_TRUE(m_state.Vehicles[0].Dial);
    EXPECT_TRUE(ReadVehicles(m_db.db)[0].Dial);
}

TEST_F(VehicleListTest, FindVehicle_GoesDownFromTheSelectedRowAndWrapsRound) {
    store(Vehicle("XAB-1", "100"));
    store(Vehicle("ab-2", "200"));
    store(Vehicle("zz-3", "300"));
    store(Vehicle("", "400")); // sorts first
    m_logic.LoadVehicleList();
    m_list.selectRow(1); // XAB-1

    m_logic.FindVehicle(" ab ");
    EXPECT_EQ(m_list.selectedRow(), 2);
    m_logic.FindVehicle("ab");
    EXPECT_EQ(m_list.selectedRow(), 1);
    EXPECT_EQ(m_list.scrolledTo, std::vector<int>({2, 1}));

    // An empty text is in every plate but an empty one.
    m_list.selectRow(3);
    m_logic.FindVehicle("");
    EXPECT_EQ(m_list.selectedRow(), 1);

    m_logic.FindVehicle("q");
    EXPECT_EQ(m_list.selectedRow(), 1);
    EXPECT_EQ(m_box.shown, std::vector<ShownBox>({{"exclamation", "找不到車輛。", kTitle}}));
    EXPECT_EQ(m_ended, 0);
}

} // namespace
