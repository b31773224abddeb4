#pragma once

#include "calling/qt_serial_port.h"
#include "console/call_timer.h"
#include "console/console_modes.h"
#include "console/main_window_controls.h"
#include "console/main_window_layout.h"
#include "console/main_window_lifecycle.h"
#include "console/main_window_state.h"
#include "console/map_panel_view.h"
#include "console/track_desktop.h"
#include "console/vehicle_list_controls.h"
#include "data/db_lib.h"
#include "startup/clock.h"
#include "startup/code_page.h"
#include "startup/message_box.h"
#include "startup/program_end.h"
#include "startup/settings_file.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QLineEdit;
class QTabWidget;
class QTableView;
class QTimer;

// The dispatcher's main window frmKestrova: tool bar, status bar, the tab control with the vehicle list,
// the communication log and the track grid, the eight map panels, the track-query frame, the timers and
// the modem's port. The logic lives in window-free pieces (start-up and shut-down, layout, vehicle list,
// map panels, call cycle, console modes); the window owns them, hands them its widgets and passes its
// events on to them.
namespace kestrova {

class CallCycle;
class CommLogTextBox;
class ListColumnWidths;
class MainStatusBar;
class MainToolbar;
class MainWindowDialogs;
class MapPanelChoosers;
class MapPanelWidget;
class MapPanels;
class MapReportPrinting;
class TrackExport;
class TrackQuery;
class TrackQueryDialLock;
class TrackQueryFrame;
class VehicleList;
class VehicleListWidget;
class WindowPlacement;

class frmKestrova final : public QMainWindow,
                          private MainWindowControls,
                          private ConsoleTabs,
                          private ConsoleModeControls {
    Q_OBJECT

public:
    // Every file of the run lies in programFolder. A run-time error that a handler does not survive
    // ends the program through programEnd; box shows every other message.
    frmKestrova(const QString& programFolder, MessageBox& box, ProgramEnd& programEnd, Clock& clock,
                QWidget* parent = nullptr);
    ~frmKestrova() override;

    // Start-up from the state saved by the last run; runs once, before the window is first shown.
    void Form_Load();
    // Lays the window out for its size, the mode and ListVisible, and asks for a panel redraw.
    void Form_Resize();

    // The procedures the tool bar, the dialogs and the call cycle use.
    void LoadVehicleList();
    void CarList_Click();
    void FindVehicle(const QString& gSearchText);
    void RefreshMapPanels(int16_t Index);

    MainWindowState& state() { return m_state; }
    clsDBLib& gDBLib() { return m_gDBLib; }
    const QString& programFolder() const { return m_programFolder; }
    const CodePage& codePage() const { return m_codePage; }
    const SettingsFile& settings() const { return m_settings; }
    MessageBox& box() const { return m_box; }
    ProgramEnd& programEnd() const { return m_programEnd; }
    Clock& clock() const { return m_clock; }

    MainToolbar* tblToolbar() const { return m_tblToolbar; }
    MainStatusBar* stbStatusBar() const { return m_stbStatusBar; }
    QTabWidget* sstSSTab() const { return m_sstSSTab; }
    VehicleListWidget* lvwVehicle() const { return m_lvwVehicle; }
    CommLogTextBox* txtCommLog() const { return m_txtCommLog; }
    QTableView* dbgTrackQuery() const { return m_dbgTrackQuery; }
    MapPanelWidget* fraMap(int i) const { return m_fraMap.at(static_cast<std::size_t>(i)); }
    TrackQueryFrame* fraTrackQuery() const { return m_fraTrackQuery; }
    PanelChoosers& cmbVehicle();
    VehicleList& vehicleList() { return *m_vehicleList; }
    MapPanels& mapPanels() { return *m_mapPanels; }
    // The calling of the vehicles, with its modem link on MSComm1.
    CallCycle& callCycle() { return *m_callCycle; }
    // The tool bar's mode actions.
    ConsoleModes& consoleModes() { return *m_consoleModes; }
    // The tool bar's dialog actions.
    MainWindowDialogs& dialogs() { return *m_dialogs; }
    // The track query with its playback, the track export and the printed map report.
    TrackQuery& trackQuery() { return *m_trackQuery; }
    TrackExport& trackExport() { return *m_trackExport; }
    MapReportPrinting& mapReportPrinting() { return *m_mapReportPrinting; }
    // The save dialog, report window and file viewer of the track history; tests answer them here.
    TrackDesktop& trackDesktop() { return m_trackDesktop; }

    // Timer1 counts down to the next dial, Timer2 times the call in progress (each runs the call cycle's
    // handler of its name), Timer3 shows the track grid's current row, Timer4 steps the playback. All
    // start off.
    QtCallTimer* Timer1() const { return m_Timer1; }
    QtCallTimer* Timer2() const { return m_Timer2; }
    QTimer* Timer3() const { return m_Timer3; }
    QTimer* Timer4() const { return m_Timer4; }
    // The modem's port; opened only to dial.
    QtSerialPort& MSComm1() { return m_MSComm1; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Every way of closing runs Form_QueryUnload, Form_Unload and Form_Terminate, once.
    void closeEvent(QCloseEvent* event) override;

private:
    // MainWindowControls, for start-up and shut-down.
    void setCaption(const QString& caption) override;
    QString lblZoomCaption(int i) const override;
    void setLblZoomCaption(int i, const QString& caption) override;
    void addVehicleListColumn(const QString& key, const QString& caption, std::optional<float> width) override;
    ColumnWidthsView& lvwVehicleColumns() override;
    QString txtCommLogText() const override;
    void setTxtCommLogText(const QString& text) override;
    QDate dtpFromTimeValue() const override;
    void setDtpFromTimeValue(const QDate& date) override;
    void setDtpToTimeValue(const QDate& date) override;
    QString filterText(FilterBox box) const override;
    void setFilterText(FilterBox box, const QString& text) override;
    void txtInterval_Change() override;
    void setTabEnabled(int tab, bool enabled) override;
    QString cmbVehicleText(int i) const override;
    PlacementWindow& placementWindow() override;
    bool isTimer2Enabled() const override;

    // ConsoleTabs, for the vehicle list; setFocusTo also for the mode actions.
    int currentTab() const override;
    void setContentVisible(Content content, bool visible) override;
    void setFocusTo(Content content) override;
    void moveCommLogCaretToEnd() override;

    // ConsoleModeControls, for the mode actions; setTabEnabled is MainWindowControls' too.
    void setMapPanelVisible(int i, bool visible) override;
    void setTrackQueryFrameVisible(bool visible) override;
    void setQueryButtonEnabled(bool enabled) override;
    void setCurrentTab(int tab) override;

    void createWidgets();
    void createLogic();
    void connectEvents();
    QWidget* tabContent(Content content) const;
    QLineEdit* filterBox(FilterBox box) const;
    void placeTabContent(QWidget* content, const TwipsRect& rect);
    // Lets the waiting events run, at most every 50 ms, painting the list then.
    void DoEvents();
    // Ends calling without booking anything (the call cycle's); requires a current vehicle.
    void StopCalling();
    void ResetTrackQuery();
    // Lets every tool-bar action run through handle().
    void guardToolbarActions();
    // Runs an event handler: a run-time error that reaches the window ends the program with its text.
    // Nothing runs once the program is ending.
    void handle(const std::function<void()>& handler);
    // The failure rule's first step: every timer of the window off and a call in progress hung up.
    void haltForProgramEnd();

    QString m_programFolder;
    CodePage m_codePage;
    SettingsFile m_settings;
    MessageBox& m_box;
    ProgramEnd& m_programEnd;
    Clock& m_clock;
    clsDBLib m_gDBLib;
    MainWindowState m_state;
    QtSerialPort m_MSComm1;
    TrackDesktop m_trackDesktop = SystemTrackDesktop();

    MainToolbar* m_tblToolbar = nullptr;
    MainStatusBar* m_stbStatusBar = nullptr;
    QTabWidget* m_sstSSTab = nullptr;
    VehicleListWidget* m_lvwVehicle = nullptr;
    CommLogTextBox* m_txtCommLog = nullptr;
    QTableView* m_dbgTrackQuery = nullptr;
    std::array<MapPanelWidget*, kMapPanelCount> m_fraMap{};
    TrackQueryFrame* m_fraTrackQuery = nullptr;
    QtCallTimer* m_Timer1 = nullptr;
    QtCallTimer* m_Timer2 = nullptr;
    QTimer* m_Timer3 = nullptr;
    QTimer* m_Timer4 = nullptr;

    std::unique_ptr<WindowPlacement> m_placement;
    std::unique_ptr<ListColumnWidths> m_columnWidths;
    std::unique_ptr<MapPanelChoosers> m_choosers;
    // The tool bar as the list and the modes set it: "Dial" held off in track query.
    std::unique_ptr<TrackQueryDialLock> m_toolbarStates;
    std::unique_ptr<CallCycle> m_callCycle;
    std::unique_ptr<MapPanels> m_mapPanels;
    std::unique_ptr<VehicleList> m_vehicleList;
    std::unique_ptr<TrackQuery> m_trackQuery;
    std::unique_ptr<TrackExport> m_trackExport;
    std::unique_ptr<MapReportPrinting> m_mapReportPrinting;
    std::unique_ptr<ConsoleModes> m_consoleModes;
    std::unique_ptr<MainWindowDialogs> m_dialogs;
    std::unique_ptr<MainWindowLifecycle> m_lifecycle;

    // Columns that start-up has named so far; the list's columns exist from the start.
    int m_namedColumns = 0;
    QElapsedTimer m_lastYield;
    // How many list refreshes are running (one, or more when one was started from another's events).
    int m_listPaintingHeld = 0;
    int m_currentTab = 0;
    bool m_closed = false;
    ProgramEnd::HaltId m_haltId = 0;
};

} // namespace kestrova
