#include "calling/comm_log.h"
#include "calling/fake_clock.h"
#include "calling/fake_serial_port.h"
#include "console/main_window_call_settings.h"
#include "console/main_window_lifecycle.h"
#include "data/schema.h"
#include "data/temp_database.h"
#include "map/fake_map_engine.h"
#include "map/landmarks.h"
#include "map/map_engine.h"
#include "startup/fake_message_box.h"
#include "startup/numeric.h"
#include "startup/ordinary_user.h"
#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

using namespace kestrova;
using kestrova::test::FakeClock;
using kestrova::test::FakeMapEngine;
using kestrova::test::FakeMessageBox;
using kestrova::test::FakeSerialPort;
using kestrova::test::ShownBox;
using FilterBox = kestrova::MainWindowControls::FilterBox;

namespace {

const QDateTime kStartTime(QDate(2024, 3, 5), QTime(14, 3, 22));

// The list control's own width for a column added without one.
constexpr float kListDefaultWidth = 1440;

class FakePlacementWindow final : public PlacementWindow {
public:
    float left() const override { return geometry[0]; }
    float top() const override { return geometry[1]; }
    float width() const override { return geometry[2]; }
    float height() const override { return geometry[3]; }
    int windowState() const override { return state; }
    void move(float l, float t, float w, float h) override { geometry = {l, t, w, h}; }
    void setWindowState(int s) override { state = s; }

    std::array<float, 4> geometry{100, 200, 12000, 9000};
    int state = 0;
};

struct FakeColumn {
    QString key;
    QString caption;
    float width;
    friend bool operator==(const FakeColumn&, const FakeColumn&) = default;
};

class FakeColumns final : public ColumnWidthsView {
public:
    int columnCount() const override { return static_cast<int>(columns.size()); }
    float width(int index) const override { return columns.at(index).width; }
    void setWidth(int index, float width) override { columns.at(index).width = width; }

    std::vector<FakeColumn> columns;
};

class FakeControls final : public MainWindowControls {
public:
    void setCaption(const QString& text) override { caption = text; }
    QString lblZoomCaption(int i) const override { return lblZoom.at(i); }
    void setLblZoomCaption(int i, const QString& text) override { lblZoom.at(i) = text; }
    void addVehicleListColumn(const QString& key, const QString& text, std::optional<float> width) override {
        lvwVehicle.columns.push_back({key, text, width.value_or(kListDefaultWidth)});
    }
    ColumnWidthsView& lvwVehicleColumns() override { return lvwVehicle; }
    QString txtCommLogText() const override { return txtCommLog; }
    void setTxtCommLogText(const QString& text) override { txtCommLog = text; }
    QDate dtpFromTimeValue() const override { return dtpFromTime; }
    void setDtpFromTimeValue(const QDate& date) override { dtpFromTime = date; }
    void setDtpToTimeValue(const QDate& date) override { dtpToTime = date; }
    QString filterText(FilterBox box) const override { return filters.at(box); }
    void setFilterText(FilterBox box, const QString& text) override { filters[box] = text; }
    // The interval box's own rule: whole seconds from 1 to 10.
    void txtInterval_Change() override {
        const int16_t n = CInt(Val(filters[FilterBox::txtInterval]));
        filters[FilterBox::txtInterval] = QString::number(std::clamp<int16_t>(n, 1, 10));
    }
    void setTabEnabled(int tab, bool enabled) override { tabEnabled.at(tab) = enabled; }
    QString cmbVehicleText(int i) const override { return cmbVehicle.at(i); }
    PlacementWindow& placementWindow() override { return window; }
    bool isTimer2Enabled() const override { return timer2; }

    QString caption = "frmKestrova";
    std::array<QString, 8> lblZoom;
    FakeColumns lvwVehicle;
    QString txtCommLog;
    QDate dtpFromTime;
    QDate dtpToTime;
    std::map<FilterBox, QString> filters{{FilterBox::txtFromSpeed, "5"},
                                         {FilterBox::txtToSpeed, "5"},
                                         {FilterBox::txtFromOffset, "5"},
                                         {FilterBox::txtToOffset, "5"},
                                         {FilterBox::txtInterval, "5"}};
    std::array<bool, 3> tabEnabled{true, true, true};
    std::array<QString, 8> cmbVehicle;
    FakePlacementWindow window;
    bool timer2 = false;
};

// One main window on a program folder, with fakes for the window's controls and the other pieces'
// procedures, which record their calls. The map engine is a fake unless realEngine is set.
struct TestWindow {
    explicit TestWindow(const QString& folder, bool realEngine = false)
        : settings(folder, codePage),
          lifecycle(
              MainWindowLifecycleParts{state, controls, folder, settings, codePage, gDBLib, box, programEnd, clock,
                                       [this, realEngine]() -> std::unique_ptr<MapEngineInterface> {
                                           calls << "create engine";
                                           if (realEngine) {
                                               return std::make_unique<MapEngine>();
                                           }
                                           auto made = std::make_unique<FakeMapEngine>();
                                           engine = made.get();
                                           return made;
                                       },
                                       [this] { LoadVehicleList(); },
                                       [this] {
                                           calls << "CarList_Click " + QString::number(state.CurrentVehicle);
                                           state.ListVisible = !state.ListVisible;
                                       },
                                       [this] {
                                           calls << "LoadCallSettings";
                                           LoadCallSettings(state, settings, port, programEnd);
                                       },
                                       [this] {
                                           calls << "LoadCoordinates";
                                           LoadCoordinates(gDBLib, state.Coordinates, programEnd);
                                       },
                                       [this] { calls << "StopCalling"; }, [this] { calls << "ResetTrackQuery"; }}) {}

    // The vehicles in the table's order, then the empty PlaybackSlot.
    void LoadVehicleList() {
        calls << "LoadVehicleList";
        state.Vehicles.clear();
        gDBLib.OpenVehicleRecordset();
        VehicleRecord v;
        while (gDBLib.FetchVehicleRecord(v.SeqNO, v.PlateNumber, v.PhoneNumber, v.CarBrand, v.DriveName, v.TelNumber1,
                                         v.TelNumber2, v.MobileNumber1, v.MobileNumber2, v.StrCaution, v.EndCaution,
                                         v.CarType, v.Dial, v.DialTime, v.CheckPoint, v.EW, v.X, v.NS, v.Y, v.Speed,
                                         v.Direction, v.Offset, v.Healthy)) {
            state.Vehicles.push_back(v);
        }
        gDBLib.CloseVehicleRecordset();
        state.Vehicles.emplace_back();
    }

    // The close of the window up to its release.
    void close() {
        lifecycle.Form_QueryUnload();
        lifecycle.Form_Unload();
    }

    MainWindowState state;
    FakeControls controls;
    CodePage codePage{QByteArrayLiteral("UTF-8")};
    clsDBLib gDBLib;
    FakeMessageBox box;
    int ended = 0;
    ProgramEnd programEnd{box, [this] { ++ended; }};
    FakeClock clock{kStartTime};
    FakeSerialPort port;
    QStringList calls;
    FakeMapEngine* engine = nullptr;
    SettingsFile settings;
    MainWindowLifecycle lifecycle;
};

class MainWindowLifecycleTest : public ::testing::Test {
protected:
    MainWindowLifecycleTest() {
        CreateDatabase(DatabasePath(m_folder.path()));
        clsDBLib db;
        db.OpenConnection(DatabasePath(m_folder.path()));
        for (const auto& [plate, phone] : {std::pair{"AB-1001", "0911000001"}, std::pair{"AB-1002", "0911000002"},
                                           std::pair{"CD-2001", "0911000003"}}) {
            db.InsertVehicle(0, plate, phone, "Mini", QString(), QString(), QString(), QString(), QString(), "N", "N",
                             2, true, QString());
        }
        db.CloseConnection();
    }

    QString path(const QString& name) const { return m_folder.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readFile(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // A settings file with the call settings that start-up needs and these further lines.
    void writeIni(const QByteArray& lines) const {
        writeFile("Kestrova.ini", "[Settings]\r\nCommPort=3\r\nDefaultTimeout=20\r\nEnablePCSound=1\r\n" + lines);
    }

    // A window started on the folder.
    std::unique_ptr<TestWindow> start(bool realEngine = false) const {
        auto window = std::make_unique<TestWindow>(m_folder.path(), realEngine);
        window->lifecycle.Form_Load();
        return window;
    }

    QString ini(const QString& section, const QString& key) const {
        return SettingsFile(m_folder.path(), CodePage(QByteArrayLiteral("UTF-8"))).GetIniString(section, key);
    }

    std::vector<QString> iniValues(const QString& section, const std::vector<QString>& keys) const {
        std::vector<QString> values;
        for (const QString& key : keys) {
            values.push_back(ini(section, key));
        }
        return values;
    }

    QTemporaryDir m_folder;
};

const std::vector<QString> kPanelKeys = {"0", "1", "2", "3", "4", "5", "6", "7"};
const std::vector<QString> kFilterKeys = {"FromSpeed", "ToSpeed", "FromOffset", "ToOffset", "Interval"};

std::vector<QString> filterTexts(const FakeControls& controls) {
    std::vector<QString> texts;
    for (const auto& [box, text] : controls.filters) {
        texts.push_back(text);
    }
    return texts;
}

TEST(MainWindowTitle, VersionShowsMajorMinorAndRevision) {
    EXPECT_EQ(VersionedTitle("Kestrova", 2, 10, 22), "Kestrova V2.10.22");
}

TEST(ZoomFromSetting, OutsideSixToFourteen_GivesTwelve) {
    const std::vector<std::pair<QString, int16_t>> cases = {
        {"6", 6},     {"14", 14},   {"5", 12},     {"15", 12},          {"", 12},      {"abc", 12},
        {"8.5", 8},   {"9.5", 10},  {"13.6", 14},  {"5.5", 6},          {"14.5", 14},  {"14.51", 12},
        {"7zoom", 7}, {"1e30", 12}, {"-1e30", 12}, {"99999999999", 12}, {"1e999", 12}, {"-6", 12}};
    for (const auto& [text, zoom] : cases) {
        EXPECT_EQ(ZoomFromSetting(text), zoom) << text.toStdString();
    }
}

TEST(LeadingNumberText, NumberBeyondDoubleRange_Overflows) {
    ExpectRuntimeError([] { LeadingNumberText(u"1e999"); }, "溢位");
}

TEST_F(MainWindowLifecycleTest, Start_FromSavedFolder_RestoresEverything) {
    writeIni("[Nv5]\r\nProfile=town.style\r\nMap=town.mbtiles\r\nMmh=town.bg\r\n"
             "[Position]\r\nKestrova=2,150,300,9000,6000,\r\n"
             "[Zoom]\r\n0=6\r\n1=14\r\n2=5\r\n3=15\r\n4=abc\r\n5=8.5\r\n6=9.5\r\n"
             "[ColumnWidths]\r\nVehicle=1000,,3000\r\nSStab=False\r\n"
             "[TrackQuery]\r\nFromSpeed=12km\r\nToSpeed=12.50\r\nFromOffset=abc\r\nInterval=25\r\n");
    writeFile("Kestrova.log", "\r\n\r\nA\r\n\r\nB\r\n\r\n");
    // What writes killed before their rename left behind, and a person's copy.
    writeFile("Kestrova.ini.kestrova-tmp-qWzRtY", "[Zoom]\r\n");
    writeFile("Kestrova.log.kestrova-tmp-AbCdE1", "A\r\n");
    writeFile("Kestrova.log.Friday", "A\r\n");

    const auto window = start();
    const FakeControls& controls = window->controls;

    EXPECT_FALSE(QFile::exists(path("Kestrova.ini.kestrova-tmp-qWzRtY")));
    EXPECT_FALSE(QFile::exists(path("Kestrova.log.kestrova-tmp-AbCdE1")));
    EXPECT_TRUE(QFile::exists(path("Kestrova.log.Friday")));
    EXPECT_TRUE(window->box.shown.empty());
    EXPECT_EQ(window->ended, 0);
    EXPECT_EQ(window->calls, (QStringList{"create engine", "LoadVehicleList", "LoadCallSettings", "LoadCoordinates",
                                          "CarList_Click -1"}));
    const QString nv5 = m_folder.path() + "/nv5/";
    EXPECT_EQ(window->engine->calls,
              (QStringList{"LoadProfile(" + nv5 + "town.style)", "OpenMap(" + nv5 + "town.mbtiles)",
                           "LoadBackground(" + nv5 + "town.bg)"}));
    EXPECT_EQ(window->state.MapEngine, window->engine);

    EXPECT_EQ(controls.window.state, 2);
    EXPECT_EQ(controls.window.geometry, (std::array<float, 4>{150, 300, 9000, 6000}));
    EXPECT_EQ(controls.caption, "Kestrova V1.0.3");
    EXPECT_EQ(window->box.defaultTitle(), "Kestrova V1.0.3");
    EXPECT_EQ(controls.lblZoom, (std::array<QString, 8>{"6", "14", "12", "12", "12", "8", "10", "12"}));

    EXPECT_EQ(controls.lvwVehicle.columns, (std::vector<FakeColumn>{{"PlateNumber", "車輛編號", 1000},
                                                                    {"Dial", "列入追蹤", 1500},
                                                                    {"DialTime", "撥號時間", 3000},
                                                                    {"CheckPoint", "撥號情形", kListDefaultWidth},
                                                                    {"Position", "位置", 1500},
                                                                    {"Speed", "速度", kListDefaultWidth},
                                                                    {"Direction", "方向", kListDefaultWidth},
                                                                    {"Offset", "位移", kListDefaultWidth}}));
    // Saved hidden: start-up holds the opposite until CarList_Click toggles it.
    EXPECT_FALSE(window->state.ListVisible);

    // Empty lines at the head of the file are dropped; those further on stay.
    EXPECT_EQ(controls.txtCommLog, "A\r\n\r\nB\r\n");
    EXPECT_EQ(controls.dtpFromTime, QDate(2024, 3, 5));
    EXPECT_EQ(controls.dtpToTime, QDate(2024, 3, 5));
    EXPECT_EQ(filterTexts(controls), (std::vector<QString>{"12", "12.5", "0", "0", "10"}));
    EXPECT_EQ(controls.tabEnabled, (std::array<bool, 3>{true, true, false}));

    ASSERT_EQ(window->state.Vehicles.size(), 4u);
    EXPECT_EQ(window->state.Vehicles[2].PlateNumber, "CD-2001");
    EXPECT_EQ(window->state.Coordinates.size(), 1u);
    EXPECT_EQ(window->state.CommPort, 3);
    EXPECT_EQ(window->state.DefaultTimeout, 20);
    EXPECT_TRUE(window->state.bPCSound);
    EXPECT_EQ(window->state.CurrentVehicle, -1);
}

TEST_F(MainWindowLifecycleTest, Start_NothingSaved_DesignedStateAndDefaults) {
    writeIni("");

    const auto window = start();
    const FakeControls& controls = window->controls;

    EXPECT_TRUE(window->box.shown.empty());
    EXPECT_EQ(controls.window.state, 0);
    EXPECT_EQ(controls.window.geometry, (std::array<float, 4>{100, 200, 12000, 9000}));
    EXPECT_EQ(controls.lblZoom, (std::array<QString, 8>{"12", "12", "12", "12", "12", "12", "12", "12"}));
    EXPECT_EQ(GetColumnWidths(controls.lvwVehicle), "1440,1500,2250,1440,1500,1440,1440,1440");
    EXPECT_TRUE(controls.txtCommLog.isEmpty());
    // Whatever the boxes held before; the interval box's rule then makes 0 into 1.
    EXPECT_EQ(filterTexts(controls), (std::vector<QString>{"0", "0", "0", "0", "1"}));
    // No saved visibility: the list ends up shown.
    EXPECT_TRUE(window->state.ListVisible);
}

TEST_F(MainWindowLifecycleTest, Start_MapFilesFailToLoad_ThreeMessagesWithoutVersionAndStartGoesOn) {
    writeIni("[Nv5]\r\nMap=missing.mbtiles\r\n");

    const auto window = start(true);

    EXPECT_EQ(window->box.shown,
              (std::vector<ShownBox>{{"notice", "PPG-SDK: Load Profile fail.", "Kestrova"},
                                     {"notice", "PPG-SDK: Open Map File Fail->Not a valid map.", "Kestrova"},
                                     {"notice", "PPG-SDK: Load Background file error.", "Kestrova"}}));
    EXPECT_EQ(window->controls.caption, "Kestrova V1.0.3");
    EXPECT_EQ(window->calls.last(), "CarList_Click -1");
    EXPECT_EQ(window->ended, 0);
}

// A database that cannot be opened, or only for reading, ends the start through the failure rule, with
// the file named; nothing of the folder is touched.
TEST_F(MainWindowLifecycleTest, Start_DatabaseMissingOrReadOnly_EndsNamingTheFileAndWritesNothing) {
    writeIni("[Zoom]\r\n0=7\r\n");
    writeFile("Kestrova.log", "kept\r\n\r\n");
    const QString database = DatabasePath(m_folder.path());
    test::SetMode(m_folder.path(), 0755);
    test::SetMode(path("database"), 0777);
    test::SetMode(database, 0444);
    const QByteArray iniBefore = readFile("Kestrova.ini");
    const test::OrdinaryUser user;
    if (!user.active()) {
        GTEST_SKIP() << "running as root without the right to act as another user";
    }

    for (const QString& message :
         {QStringLiteral("attempt to write a readonly database"), QStringLiteral("unable to open database file")}) {
        const auto window = start();

        EXPECT_EQ(window->ended, 1);
        EXPECT_EQ(window->box.shown, (std::vector<ShownBox>{{"critical", database + ": " + message, "Kestrova"}}));
        EXPECT_TRUE(window->calls.isEmpty());
        EXPECT_EQ(window->controls.caption, "frmKestrova");
        EXPECT_EQ(readFile("Kestrova.ini"), iniBefore);
        EXPECT_EQ(readFile("Kestrova.log"), "kept\r\n\r\n");
        QFile::rename(database, database + ".away");
    }
    EXPECT_FALSE(QFile::exists(database));
}

TEST_F(MainWindowLifecycleTest, Close_WritesStateBackAndStartsAgainTheSame) {
    writeIni("[Vehicle]\r\n3=CD-2001\r\n[ColumnWidths]\r\nSStab=True\r\n");
    auto window = start();
    EXPECT_TRUE(window->state.ListVisible);
    FakeControls& controls = window->controls;
    controls.txtCommLog = "A\r\n\r\nB\r\n";
    controls.lblZoom = {"6", "7", "8", "9", "10", "11", "13", "14"};
    controls.cmbVehicle = {"AB-1001", "", "", "", "", "", "AB-1002", ""};
    controls.filters = {{FilterBox::txtFromSpeed, "12km"},
                        {FilterBox::txtToSpeed, "abc"},
                        {FilterBox::txtFromOffset, "12.50"},
                        {FilterBox::txtToOffset, ""},
                        {FilterBox::txtInterval, "3"}};
    controls.lvwVehicle.setWidth(0, 1800);
    controls.window = FakePlacementWindow();
    controls.window.geometry = {10, 20, 300, 400};
    window->state.ListVisible = false;
    VehicleRecord& called = window->state.Vehicles[1];
    called.DialTime = "2024/03/05 14:03:22";
    called.CheckPoint = "即時位置";
    called.X = 121.5;
    called.Healthy = "00012";
    // The playback slot carries another vehicle's terminal; it must not reach the table.
    window->state.PlaybackSlot() = window->state.Vehicles[2];
    window->state.PlaybackSlot().CheckPoint = "slot";
    window->close();

    EXPECT_EQ(window->ended, 0);
    EXPECT_TRUE(window->box.shown.empty());
    EXPECT_EQ(window->calls.mid(5), (QStringList{"ResetTrackQuery"}));
    EXPECT_EQ(window->engine->calls.last(), "CloseMap()");
    window->lifecycle.Form_Terminate();
    EXPECT_EQ(window->state.MapEngine, nullptr);
    EXPECT_FALSE(window->gDBLib.isOpen());

    EXPECT_EQ(readFile("Kestrova.log"), "A\r\n\r\nB\r\n\r\n");
    clsDBLib db;
    db.OpenConnection(DatabasePath(m_folder.path()));
    const std::vector<FetchedVehicle> stored = ReadVehicles(db);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[1].DialTime, "2024/03/05 14:03:22");
    EXPECT_EQ(stored[1].CheckPoint, "即時位置");
    EXPECT_EQ(stored[1].X, 121.5);
    EXPECT_EQ(stored[1].Healthy, "00012");
    EXPECT_EQ(stored[2].CheckPoint, "");

    // An empty chooser keeps the panel's vehicle of the run before.
    EXPECT_EQ(iniValues("Vehicle", kPanelKeys),
              (std::vector<QString>{"AB-1001", "", "", "CD-2001", "", "", "AB-1002", ""}));
    EXPECT_EQ(iniValues("Zoom", kPanelKeys), (std::vector<QString>{"6", "7", "8", "9", "10", "11", "13", "14"}));
    EXPECT_EQ(iniValues("TrackQuery", kFilterKeys), (std::vector<QString>{"12", "0", "12.5", "0", "3"}));
    EXPECT_EQ(ini("ColumnWidths", "Vehicle"), "1800,1500,2250,1440,1500,1440,1440,1440");
    EXPECT_EQ(ini("ColumnWidths", "SStab"), "False");
    EXPECT_EQ(ini("Position", "Kestrova"), "0,10,20,300,400,");

    const auto again = start();
    EXPECT_EQ(again->controls.txtCommLog, "A\r\n\r\nB\r\n");
    EXPECT_EQ(again->controls.lblZoom, controls.lblZoom);
    EXPECT_EQ(filterTexts(again->controls), (std::vector<QString>{"12", "0", "12.5", "0", "3"}));
    EXPECT_EQ(again->controls.lvwVehicle.width(0), 1800);
    EXPECT_FALSE(again->state.ListVisible);
    EXPECT_EQ(again->controls.window.geometry, (std::array<float, 4>{10, 20, 300, 400}));
}

TEST_F(MainWindowLifecycleTest, Close_EmptyRegister_WritesNoVehicleRowAndGoesOn) {
    writeIni("");
    {
        clsDBLib db;
        db.OpenConnection(DatabasePath(m_folder.path()));
        for (const FetchedVehicle& v : ReadVehicles(db))
            db.DeleteVehicle(v.PlateNumber);
    }
    auto window = start();
    ASSERT_EQ(window->state.Vehicles.size(), 1u);
    window->state.PlaybackSlot().PlateNumber = "AB-1001";
    window->state.PlaybackSlot().PhoneNumber = "0911000001";
    window->close();

    EXPECT_EQ(window->ended, 0);
    EXPECT_TRUE(window->box.shown.empty());
    EXPECT_EQ(window->engine->calls.last(), "CloseMap()");
    clsDBLib db;
    db.OpenConnection(DatabasePath(m_folder.path()));
    EXPECT_TRUE(ReadVehicles(db).empty());
}

TEST_F(MainWindowLifecycleTest, Close_LogFileCannotBeWritten_EndsBeforeTheLaterSteps) {
    writeIni("[Zoom]\r\n0=7\r\n");
    auto window = start();
    window->controls.lblZoom[0] = "9";
    window->state.Vehicles[0].CheckPoint = "未撥通";
    // A folder in the log file's place: it is not read at start, and cannot be replaced at close.
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("Kestrova.log"));

    window->close();

    EXPECT_EQ(window->ended, 1);
    ASSERT_EQ(window->box.shown.size(), 1u);
    EXPECT_EQ(window->box.shown[0].kind, "critical");
    EXPECT_TRUE(window->box.shown[0].text.contains("Kestrova.log")) << window->box.shown[0].text.toStdString();
    EXPECT_EQ(ini("Zoom", "0"), "7");
    EXPECT_EQ(ReadVehicles(window->gDBLib)[0].CheckPoint, "");
    EXPECT_FALSE(window->engine->calls.contains("CloseMap()"));
}

// A folder where only the settings and the log file may be written (no file can be made beside them):
// the close still saves both, in place.
TEST_F(MainWindowLifecycleTest, Close_FolderWithOnlyItsFilesWritable_SavesLogAndSettings) {
    writeIni("[Zoom]\r\n0=7\r\n");
    writeFile("Kestrova.log", "old\r\n\r\n");
    for (const char* name : {"Kestrova.ini", "Kestrova.log", "database/Kestrova.mdb"}) {
        test::SetMode(path(QString::fromLatin1(name)), 0666);
    }
    test::SetMode(path("database"), 0777);
    const test::Permissions readOnly(m_folder.path(), 0555);
    const test::OrdinaryUser user;
    if (!user.active()) {
        GTEST_SKIP() << "running as root without the right to act as another user";
    }
    auto window = start();
    window->controls.txtCommLog = "A\r\n";
    window->controls.lblZoom[0] = "9";

    window->close();

    EXPECT_EQ(window->ended, 0);
    EXPECT_TRUE(window->box.shown.empty());
    EXPECT_EQ(readFile("Kestrova.log"), "A\r\n\r\n");
    EXPECT_EQ(ini("Zoom", "0"), "9");
}

TEST_F(MainWindowLifecycleTest, CloseRequest_StopsOnlyACallInProgress) {
    writeIni("");
    for (const bool callRunning : {false, true}) {
        const auto window = start();
        window->controls.timer2 = callRunning;
        window->lifecycle.Form_QueryUnload();
        EXPECT_EQ(window->calls.contains("StopCalling"), callRunning);
    }
}

} // namespace
