#include "console/frm_kestrova.h"

#include "console/call_cycle.h"
#include "console/comm_log_text_box.h"
#include "console/list_column_widths.h"
#include "console/main_toolbar.h"
#include "console/main_window_call_settings.h"
#include "console/main_window_dialogs.h"
#include "console/map_panel_choosers.h"
#include "console/map_panel_widget.h"
#include "console/map_panels.h"
#include "console/map_report_printing.h"
#include "console/side_tab_widget.h"
#include "console/status_bar.h"
#include "console/track_export.h"
#include "console/track_query.h"
#include "console/track_query_dial_lock.h"
#include "console/track_query_frame.h"
#include "console/vehicle_list.h"
#include "console/vehicle_list_widget.h"
#include "console/window_placement.h"
#include "map/landmarks.h"
#include "map/map_engine.h"
#include "map/place_description.h"
#include "startup/event_handler.h"
#include "startup/runtime_error.h"
#include "startup/twips.h"
#include "track/track_grid_model.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace kestrova {

namespace {

// The window as designed, before a stored placement moves it.
constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;
constexpr int kTrackRowTimerInterval = 50;
constexpr int kPlaybackTimerInterval = 1000;
// How long the list refresh may run on before it lets the waiting events in: short enough to feel at once.
constexpr qint64 kYieldIntervalMs = 50;

const QString kVehicleListTab = QStringLiteral("車輛位置");
const QString kCommLogTab = QStringLiteral("追蹤記錄");
const QString kTrackGridTab = QStringLiteral("航跡查詢");

// A rectangle laid out in the window's coordinates, moved into those of a widget whose top left corner
// lies at origin (in pixels). The shift is a whole number of pixels, so the edges stay where they were.
TwipsRect shifted(const TwipsRect& rect, const QPoint& origin) {
    return {rect.left - pixelsToTwips(origin.x()), rect.top - pixelsToTwips(origin.y()), rect.width, rect.height};
}

QTimer* makeTimer(QObject* parent, const char* name, int interval) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(interval);
    return timer;
}

QWidget* makeTabPage(QTabWidget* tabs, QWidget* content, const QString& caption) {
    auto* page = new QWidget();
    content->setParent(page);
    tabs->addTab(page, caption);
    return page;
}

} // namespace

frmKestrova::frmKestrova(const QString& programFolder, MessageBox& box, ProgramEnd& programEnd, Clock& clock,
                         QWidget* parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_codePage(CodePage::system()),
      m_settings(programFolder, m_codePage), m_box(box), m_programEnd(programEnd), m_clock(clock),
      m_MSComm1(programFolder, m_codePage) {
    setObjectName(QStringLiteral("frmKestrova"));
    setWindowTitle(box.defaultTitle());
    resize(kDesignWidth, kDesignHeight);
    createWidgets();
    createLogic();
    connectEvents();
    m_haltId = m_programEnd.addHaltStep([this] { haltForProgramEnd(); });
}

frmKestrova::~frmKestrova() {
    m_programEnd.removeHaltStep(m_haltId);
}

void frmKestrova::haltForProgramEnd() {
    m_Timer1->setEnabled(false);
    m_Timer2->setEnabled(false);
    for (QTimer* timer : findChildren<QTimer*>()) {
        timer->stop();
    }
    m_callCycle->modemLink().DisconnectCall();
}

void frmKestrova::createWidgets() {
    // The mode actions follow once the console's modes exist.
    ToolbarActions actions;
    actions.Exit = [this] { close(); };
    m_tblToolbar = new MainToolbar(m_programFolder, std::move(actions), this);
    addToolBar(Qt::TopToolBarArea, m_tblToolbar);
    m_stbStatusBar = new MainStatusBar(this);
    setStatusBar(m_stbStatusBar);

    // The controls are placed by Form_Resize, in twips converted to pixels, not by a Qt layout.
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("frmKestrovaArea"));
    setCentralWidget(area);

    for (int i = 0; i < kMapPanelCount; ++i) {
        m_fraMap[static_cast<std::size_t>(i)] = new MapPanelWidget(static_cast<int16_t>(i), m_programFolder, area);
    }
    m_fraTrackQuery = new TrackQueryFrame(m_programFolder, area);
    m_fraTrackQuery->hide();
    m_fraTrackQuery->adoptVehicleChooser(fraMap(kTrackPanel)->cmbVehicle());

    // The tabs stand on the right, beside the contents that the layout leaves room for there.
    m_sstSSTab = new SideTabWidget(area);
    m_sstSSTab->setObjectName(QStringLiteral("sstSSTab"));
    // Opaque beside its tabs too, so no panel behind it shows through there.
    m_sstSSTab->setAutoFillBackground(true);
    m_lvwVehicle = new VehicleListWidget();
    m_lvwVehicle->header()->setStretchLastSection(false);
    m_txtCommLog = new CommLogTextBox();
    m_dbgTrackQuery = new QTableView();
    m_dbgTrackQuery->setObjectName(QStringLiteral("dbgTrackQuery"));
    makeTabPage(m_sstSSTab, m_lvwVehicle, kVehicleListTab);
    makeTabPage(m_sstSSTab, m_txtCommLog, kCommLogTab);
    makeTabPage(m_sstSSTab, m_dbgTrackQuery, kTrackGridTab);
    // In front of the map panels: with the list shown it covers the map area.
    m_sstSSTab->raise();

    // Each runs the call cycle's handler of its name, which deals with its own failures; the cycle is built
    // before any timer is switched on.
    m_Timer1 = new QtCallTimer(
        QStringLiteral("Timer1"), [this] { m_callCycle->Timer1_Timer(); }, this);
    m_Timer2 = new QtCallTimer(
        QStringLiteral("Timer2"), [this] { m_callCycle->Timer2_Timer(); }, this);
    m_Timer3 = makeTimer(this, "Timer3", kTrackRowTimerInterval);
    m_Timer4 = makeTimer(this, "Timer4", kPlaybackTimerInterval);
}

void frmKestrova::createLogic() {
    m_placement = std::make_unique<WindowPlacement>(*this);
    m_columnWidths = std::make_unique<ListColumnWidths>(*m_lvwVehicle);
    m_choosers = std::make_unique<MapPanelChoosers>(m_fraMap);
    m_toolbarStates = std::make_unique<TrackQueryDialLock>(*m_tblToolbar, m_state);

    const auto describe = [this](double X, double Y, QString& Text) {
        if (m_state.MapEngine == nullptr) {
            throw RuntimeError(kNoMapEngine);
        }
        DescribeLocation(*m_state.MapEngine, m_programFolder, m_codePage, X, Y, Text);
    };
    const auto refresh = [this](int16_t Index) { RefreshMapPanels(Index); };

    m_callCycle = std::make_unique<CallCycle>(
        CallingParts{m_state, m_MSComm1, m_clock, m_gDBLib, *m_Timer1, *m_Timer2, *m_stbStatusBar, *m_txtCommLog,
                     *m_lvwVehicle, *m_choosers, m_box, m_programEnd, [] { QApplication::beep(); }, refresh, describe,
                     [this](int i, bool visible) { setMapPanelVisible(i, visible); },
                     [this] { m_consoleModes->InterruptDialing(); }});

    std::array<MapPanelView*, kMapPanelCount> panelViews{};
    std::copy(m_fraMap.begin(), m_fraMap.end(), panelViews.begin());
    // A redraw that fails ends the program; a call in progress is hung up first (a closed port needs nothing).
    m_mapPanels = std::make_unique<MapPanels>(MapPanelsCollaborators{
        m_state, panelViews, m_programFolder, m_programEnd, [this] { m_callCycle->modemLink().DisconnectCall(); }});

    m_vehicleList = std::make_unique<VehicleList>(VehicleListCollaborators{
        m_state, m_gDBLib, m_settings, *m_lvwVehicle, *m_lvwVehicle, *m_choosers, *m_toolbarStates, *this, m_box,
        m_programEnd, [this] { Form_Resize(); }, [this] { DoEvents(); }, describe});

    m_trackQuery = std::make_unique<TrackQuery>(
        TrackQueryParts{m_state, m_gDBLib, *m_fraTrackQuery, *m_dbgTrackQuery, *m_Timer3, *m_Timer4, *m_toolbarStates,
                        *m_choosers, *m_lvwVehicle, m_programEnd, refresh, [] { QApplication::beep(); }});
    const auto dataSource = [this] { return m_trackQuery->dataSource(); };
    m_trackExport = std::make_unique<TrackExport>(
        TrackExportParts{m_settings, m_codePage, m_box, m_programEnd, m_trackDesktop, *this, dataSource});
    m_mapReportPrinting = std::make_unique<MapReportPrinting>(
        MapReportPrintingParts{m_state, m_programFolder, m_settings, m_gDBLib, m_box, m_programEnd, m_clock,
                               m_trackDesktop, *this, *fraMap(kTrackPanel), dataSource});
    m_tblToolbar->toolbarActions().PrintReport = [this] { m_mapReportPrinting->PrintMapReport(); };
    const QueryTrackFunction queryTrack = [this](const QString& Vehicle, const QString& FromTime, const QString& ToTime,
                                                 float FromSpeed, float ToSpeed, float FromOffset, float ToOffset) {
        m_trackQuery->QueryTrack(Vehicle, FromTime, ToTime, FromSpeed, ToSpeed, FromOffset, ToOffset);
    };

    m_consoleModes = std::make_unique<ConsoleModes>(
        ConsoleModesParts{m_state,
                          *m_toolbarStates,
                          *this,
                          *m_lvwVehicle,
                          *m_choosers,
                          *m_Timer1,
                          [this] { Form_Resize(); },
                          [this] { CarList_Click(); },
                          refresh,
                          [this](int16_t From) { return m_callCycle->SelectNextDialVehicle(From); },
                          [this] { StopCalling(); },
                          [this] { ResetTrackQuery(); },
                          queryTrack});
    SetModeActions(m_tblToolbar->toolbarActions(), *m_consoleModes);

    m_dialogs = std::make_unique<MainWindowDialogs>(MainWindowDialogsParts{
        m_programFolder, m_settings, m_gDBLib, m_box, m_programEnd,
        [this](const QString& gSearchText) { FindVehicle(gSearchText); }, [this] { LoadVehicleList(); }, refresh,
        [this] { LoadCallSettings(m_state, m_settings, m_MSComm1, m_programEnd); }, [this] { close(); }});
    SetDialogActions(m_tblToolbar->toolbarActions(), *m_dialogs);
    guardToolbarActions();

    m_lifecycle = std::make_unique<MainWindowLifecycle>(MainWindowLifecycleParts{
        m_state,
        *this,
        m_programFolder,
        m_settings,
        m_codePage,
        m_gDBLib,
        m_box,
        m_programEnd,
        m_clock,
        [] { return std::make_unique<MapEngine>(); },
        [this] { LoadVehicleList(); },
        [this] { CarList_Click(); },
        [this] { LoadCallSettings(m_state, m_settings, m_MSComm1, m_programEnd); },
        [this] { LoadCoordinates(m_gDBLib, m_state.Coordinates, m_programEnd); },
        [this] { StopCalling(); },
        [this] { ResetTrackQuery(); },
    });
}

void frmKestrova::connectEvents() {
    ConnectMapPanels(m_fraMap, *m_mapPanels);
    connect(m_lvwVehicle, &VehicleListWidget::MouseUp, this, [this](int16_t Button, int16_t Shift, int X, int Y) {
        handle([&] { m_vehicleList->lvwVehicle_MouseUp(Button, Shift, X, Y); });
    });
    connect(m_lvwVehicle, &VehicleListWidget::ItemClick, this,
            [this] { handle([this] { m_vehicleList->lvwVehicle_ItemClick(); }); });
    connect(m_lvwVehicle, &VehicleListWidget::menVehiclePadClick, this,
            [this](int16_t Index) { handle([&] { m_vehicleList->menVehiclePad_Click(Index); }); });
    connect(m_sstSSTab, &QTabWidget::currentChanged, this, [this](int tab) {
        const int previous = std::exchange(m_currentTab, tab);
        handle([&] { m_vehicleList->sstSSTab_Click(static_cast<int16_t>(previous)); });
    });

    // The track query's handlers of the query button and both timers end the program on their own failures.
    TrackQuery& track = *m_trackQuery;
    connect(m_fraTrackQuery->cmdQuery(), &QToolButton::clicked, this, [&track] { track.cmdQuery_Click(); });
    connect(m_Timer3, &QTimer::timeout, this, [&track] { track.Timer3_Timer(); });
    connect(m_Timer4, &QTimer::timeout, this, [&track] { track.Timer4_Timer(); });
    connect(m_fraTrackQuery->cmdPlay(), &QPushButton::clicked, this,
            [this, &track] { handle([&track] { track.cmdPlay_Click(); }); });
    connect(m_fraTrackQuery->cmdStopPlay(), &QPushButton::clicked, this,
            [this, &track] { handle([&track] { track.cmdStopPlay_Click(); }); });
    connect(m_fraTrackQuery->cmdExport(), &QPushButton::clicked, this,
            [this] { handle([this] { m_trackExport->cmdExport_Click(); }); });
    connect(m_fraTrackQuery->txtInterval(), &QLineEdit::textChanged, this,
            [this, &track] { handle([&track] { track.txtInterval_Change(); }); });
    connect(m_fraTrackQuery->sldInterval(), &QSlider::valueChanged, this,
            [this, &track] { handle([&track] { track.sldInterval_Change(); }); });
    connect(m_dbgTrackQuery, &QTableView::clicked, this,
            [this, &track] { handle([&track] { track.dbgTrackQuery_Click(); }); });
}

void frmKestrova::Form_Load() {
    m_lifecycle->Form_Load();
}

void frmKestrova::Form_Resize() {
    // The bands along the edges settle first: at a new width the tool bar may have wrapped onto more or
    // fewer rows, and TBH is its height after that.
    layout()->activate();
    const QRect area = centralWidget()->geometry();
    MainWindowLayoutInputs in;
    in.Visible = isVisible();
    in.WindowState = static_cast<int16_t>(isMinimized() ? 1 : 0);
    in.SW = pixelsToTwips(width());
    in.SH = pixelsToTwips(height());
    in.TBH = pixelsToTwips(area.top());
    in.SBH = pixelsToTwips(height() - area.bottom() - 1);
    in.TrackQuery = static_cast<int16_t>(m_tblToolbar->isButtonPressed(QStringLiteral("TrackQuery")) ? 1 : 0);
    in.Kestrova = static_cast<int16_t>(m_tblToolbar->isButtonPressed(QStringLiteral("Kestrova")) ? 1 : 0);
    in.RealTimePosition =
        static_cast<int16_t>(m_tblToolbar->isButtonPressed(QStringLiteral("RealTimePosition")) ? 1 : 0);
    in.ListVisible = m_state.ListVisible;
    in.CallMode = m_state.CallMode;
    const std::optional<MainWindowLayout> layout = computeMainWindowLayout(in);
    if (!layout) {
        return;
    }

    // The layout counts from the window's top left corner; the controls lie in the area under the tool bar.
    const QPoint origin = area.topLeft();
    m_sstSSTab->setGeometry(toPixels(shifted(layout->sstSSTab, origin)));
    for (int i = 0; i < kMapPanelCount; ++i) {
        MapPanelLayout panel = layout->panels[static_cast<std::size_t>(i)];
        panel.fraMap = shifted(panel.fraMap, origin);
        fraMap(i)->applyLayout(panel);
    }
    m_fraTrackQuery->setGeometry(toPixels(shifted(layout->fraTrackQuery, origin)));
    m_fraTrackQuery->setVisible(layout->fraTrackQueryVisible);
    if (layout->redrawPanels) {
        RefreshMapPanels(0);
    }
    placeTabContent(m_lvwVehicle, layout->lvwVehicle);
    placeTabContent(m_txtCommLog, layout->txtCommLog);
    placeTabContent(m_dbgTrackQuery, layout->dbgTrackQuery);
    m_sstSSTab->setVisible(layout->sstSSTabVisible);
}

void frmKestrova::placeTabContent(QWidget* content, const TwipsRect& rect) {
    // The rectangle counts from the tab control's corner; the content lies in its page.
    const QWidget* page = content->parentWidget();
    const QPoint pageOrigin =
        page->parentWidget() != nullptr ? page->parentWidget()->mapTo(m_sstSSTab, QPoint()) : QPoint();
    content->setGeometry(toPixels(rect).translated(-pageOrigin));
}

void frmKestrova::LoadVehicleList() {
    m_vehicleList->LoadVehicleList();
}

void frmKestrova::CarList_Click() {
    // Each refreshed row selects itself and scrolls into view; painted at once, every row would move the
    // whole list's picture. The list is painted instead whenever DoEvents lets the events in, and at the end.
    struct PaintingHeldBack {
        explicit PaintingHeldBack(frmKestrova& window) : w(window) {
            if (w.m_listPaintingHeld++ == 0)
                w.m_lvwVehicle->setUpdatesEnabled(false);
        }
        ~PaintingHeldBack() {
            if (--w.m_listPaintingHeld == 0)
                w.m_lvwVehicle->setUpdatesEnabled(true);
        }
        frmKestrova& w;
    } held(*this);
    // The first row always lets the waiting events in, as every row did before the yields were spaced out.
    m_lastYield.invalidate();
    m_vehicleList->CarList_Click();
}

void frmKestrova::FindVehicle(const QString& gSearchText) {
    m_vehicleList->FindVehicle(gSearchText);
}

void frmKestrova::RefreshMapPanels(int16_t Index) {
    m_mapPanels->RefreshMapPanels(Index);
}

PanelChoosers& frmKestrova::cmbVehicle() {
    return *m_choosers;
}

void frmKestrova::DoEvents() {
    // A row takes tens of microseconds and a repaint of the list milliseconds: letting the events in (and
    // the list be painted) every 50 ms rather than before every row keeps a long refresh short while the
    // window still answers.
    if (!m_lastYield.isValid() || m_lastYield.elapsed() >= kYieldIntervalMs) {
        const bool held = !m_lvwVehicle->updatesEnabled();
        m_lvwVehicle->setUpdatesEnabled(true);
        QCoreApplication::processEvents();
        m_lvwVehicle->setUpdatesEnabled(!held);
        m_lastYield.start();
        if (m_closed) {
            // Closed meanwhile, its map engine and database let go of: nothing is left to refresh.
            m_state.ListVisible = false;
        }
    }
}

void frmKestrova::StopCalling() {
    m_callCycle->StopCalling();
}

void frmKestrova::ResetTrackQuery() {
    m_trackQuery->ResetTrackQuery();
}

void frmKestrova::guardToolbarActions() {
    ToolbarActions& actions = m_tblToolbar->toolbarActions();
    for (std::function<void()>* action :
         {&actions.ShowSearchDialog, &actions.ShowManagementDialog, &actions.PrintReport,
          &actions.SwitchToAutomaticMode, &actions.SwitchToManualMode, &actions.StartDialing, &actions.InterruptDialing,
          &actions.SwitchToTrackQueryMode, &actions.ToggleRealTimePosition, &actions.ToggleVehicleList,
          &actions.ShowSettingsDialog, &actions.ShowAbout, &actions.Exit}) {
        if (*action) {
            *action = [this, inner = std::move(*action)] { handle(inner); };
        }
    }
}

void frmKestrova::handle(const std::function<void()>& handler) {
    RunEventHandler(m_programEnd, handler);
}

void frmKestrova::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    handle([this] { Form_Resize(); });
}

void frmKestrova::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    handle([this] { Form_Resize(); });
}

void frmKestrova::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        handle([this] { Form_Resize(); });
    }
}

void frmKestrova::closeEvent(QCloseEvent* event) {
    if (m_programEnd.Ending()) {
        // The program ends once its error box is answered, without the closing sequence.
        event->ignore();
        return;
    }
    if (!m_closed) {
        // Closed by a signal while a dialog is open: the dialogs close as their close boxes would. A tool-bar
        // dialog's action first takes up what its dialog committed (a vehicle written or deleted reloads the
        // list), then closes the window again; shutting down now would save the vehicles as they were.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible()) {
                dialog->reject();
            }
        }
        if (m_dialogs->dialogShowing()) {
            m_dialogs->closeWindowAfterDialog();
            event->ignore();
            return;
        }
        m_closed = true;
        m_lifecycle->Form_QueryUnload();
        m_lifecycle->Form_Unload();
        m_lifecycle->Form_Terminate();
        // The timers go with the unloaded window: no dial comes after its database and map are let go of.
        m_Timer1->setEnabled(false);
        m_Timer2->setEnabled(false);
        m_Timer3->stop();
        m_Timer4->stop();
    }
    event->accept();
}

void frmKestrova::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

QString frmKestrova::lblZoomCaption(int i) const {
    return fraMap(i)->zoomCaption();
}

void frmKestrova::setLblZoomCaption(int i, const QString& caption) {
    fraMap(i)->setZoomCaption(caption);
}

void frmKestrova::addVehicleListColumn(const QString& key, const QString& caption, std::optional<float> width) {
    const int column = m_namedColumns++;
    if (column >= m_lvwVehicle->columnCount()) {
        m_lvwVehicle->setColumnCount(column + 1);
    }
    QTreeWidgetItem* header = m_lvwVehicle->headerItem();
    header->setText(column, caption);
    header->setData(column, Qt::UserRole, key);
    m_lvwVehicle->setColumnWidth(column, width ? std::max(twipsToPixels(*width), 0)
                                               : m_lvwVehicle->header()->defaultSectionSize());
}

ColumnWidthsView& frmKestrova::lvwVehicleColumns() {
    return *m_columnWidths;
}

QString frmKestrova::txtCommLogText() const {
    return m_txtCommLog->text();
}

void frmKestrova::setTxtCommLogText(const QString& text) {
    m_txtCommLog->setText(text);
}

QDate frmKestrova::dtpFromTimeValue() const {
    return m_fraTrackQuery->dtpFromTime()->date();
}

void frmKestrova::setDtpFromTimeValue(const QDate& date) {
    m_fraTrackQuery->dtpFromTime()->setDate(date);
}

void frmKestrova::setDtpToTimeValue(const QDate& date) {
    m_fraTrackQuery->dtpToTime()->setDate(date);
}

QLineEdit* frmKestrova::filterBox(FilterBox box) const {
    switch (box) {
    case FilterBox::txtFromSpeed:
        return m_fraTrackQuery->txtFromSpeed();
    case FilterBox::txtToSpeed:
        return m_fraTrackQuery->txtToSpeed();
    case FilterBox::txtFromOffset:
        return m_fraTrackQuery->txtFromOffset();
    case FilterBox::txtToOffset:
        return m_fraTrackQuery->txtToOffset();
    case FilterBox::txtInterval:
        break;
    }
    return m_fraTrackQuery->txtInterval();
}

QString frmKestrova::filterText(FilterBox box) const {
    return filterBox(box)->text();
}

void frmKestrova::setFilterText(FilterBox box, const QString& text) {
    const QSignalBlocker noHandlers(filterBox(box));
    filterBox(box)->setText(text);
}

void frmKestrova::txtInterval_Change() {
    m_trackQuery->txtInterval_Change();
}

void frmKestrova::setTabEnabled(int tab, bool enabled) {
    m_sstSSTab->setTabEnabled(tab, enabled);
}

QString frmKestrova::cmbVehicleText(int i) const {
    return m_choosers->text(i);
}

PlacementWindow& frmKestrova::placementWindow() {
    return *m_placement;
}

bool frmKestrova::isTimer2Enabled() const {
    return m_Timer2->Enabled();
}

int frmKestrova::currentTab() const {
    return m_sstSSTab->currentIndex();
}

QWidget* frmKestrova::tabContent(Content content) const {
    switch (content) {
    case Content::txtCommLog:
        return m_txtCommLog;
    case Content::lvwVehicle:
        return m_lvwVehicle;
    case Content::dbgTrackQuery:
        break;
    }
    return m_dbgTrackQuery;
}

void frmKestrova::setContentVisible(Content content, bool visible) {
    tabContent(content)->setVisible(visible);
}

void frmKestrova::setFocusTo(Content content) {
    tabContent(content)->setFocus();
}

void frmKestrova::moveCommLogCaretToEnd() {
    m_txtCommLog->moveCaretToEnd();
}

void frmKestrova::setMapPanelVisible(int i, bool visible) {
    fraMap(i)->setVisible(visible);
}

void frmKestrova::setTrackQueryFrameVisible(bool visible) {
    m_fraTrackQuery->setVisible(visible);
}

void frmKestrova::setQueryButtonEnabled(bool enabled) {
    m_fraTrackQuery->cmdQuery()->setEnabled(enabled);
}

void frmKestrova::setCurrentTab(int tab) {
    m_sstSSTab->setCurrentIndex(tab);
}

} // namespace kestrova
