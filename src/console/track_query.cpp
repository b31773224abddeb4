#include "console/track_query.h"

#include "startup/event_handler.h"
#include "console/main_window_layout.h"
#include "console/map_panel_view.h"
#include "console/track_query_frame.h"
#include "console/vehicle_list_cells.h"
#include "startup/numeric.h"
#include "startup/runtime_error.h"
#include "track/playback_interval.h"
#include "track/playback_slot.h"
#include "track/track_grid_model.h"
#include "track/track_query_filter.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <utility>

namespace kestrova {

namespace {

// The runtime's error for a key that no item of a list has.
const QString kElementNotFound = QStringLiteral("找不到元素");

constexpr int kMillisecondsPerSecond = 1000;
constexpr int kRowPadding = 4;

// The buttons that playback locks, in the order it locks them.
constexpr std::array<QStringView, 6> kPlaybackLockedButtons = {u"Management", u"Kestrova", u"ManualCall",
                                                               u"TrackQuery", u"Settings", u"About"};

void setTimerEnabled(QTimer& timer, bool enabled) {
    if (enabled)
        timer.start();
    else
        timer.stop();
}

// The grid paints nothing while it takes a new result, and paints it whole afterwards.
class PaintingHeldBack {
public:
    explicit PaintingHeldBack(QWidget& widget) : m_widget(widget) { m_widget.setUpdatesEnabled(false); }
    ~PaintingHeldBack() { m_widget.setUpdatesEnabled(true); }
    PaintingHeldBack(const PaintingHeldBack&) = delete;
    PaintingHeldBack& operator=(const PaintingHeldBack&) = delete;

private:
    QWidget& m_widget;
};

} // namespace

TrackQuery::TrackQuery(TrackQueryParts parts) : m_parts(std::move(parts)) {
    QTableView& grid = m_parts.dbgTrackQuery;
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line of text to a row, as the grid shows rows.
    grid.verticalHeader()->setDefaultSectionSize(grid.fontMetrics().height() + kRowPadding);
}

TrackQuery::~TrackQuery() {
    bind(nullptr);
}

void TrackQuery::cmdQuery_Click() {
    RunEventHandler(m_parts.programEnd, [this] {
        ResetTrackQuery();
        TrackQueryFrame& frame = m_parts.fraTrackQuery;
        const std::array<QLineEdit*, 4> boxes = {frame.txtFromSpeed(), frame.txtToSpeed(), frame.txtFromOffset(),
                                                 frame.txtToOffset()};
        for (QLineEdit* box : boxes)
            box->setText(FilterBoxText(box->text()));
        const QString Key = TrackQueryKey(m_parts.state.Vehicles, m_parts.cmbVehicle.text(kTrackPanel));
        if (m_parts.cmbVehicle.listIndex(kTrackPanel) == -1)
            return;
        const auto bound = [](const QLineEdit* box) { return FilterBound(box->text()); };
        QueryTrack(Key, TrackFromTime(frame.dtpFromTime()->date()), TrackToTime(frame.dtpToTime()->date()),
                   bound(boxes[0]), bound(boxes[1]), bound(boxes[2]), bound(boxes[3]));
        m_parts.tblToolbar.setButtonEnabled(QStringLiteral("Print"), frame.cmdExport()->isEnabled());
    });
}

void TrackQuery::QueryTrack(const QString& Vehicle, const QString& FromTime, const QString& ToTime, float FromSpeed,
                            float ToSpeed, float FromOffset, float ToOffset) {
    auto model = std::make_unique<TrackGridModel>(
        m_parts.gDBLib.GetCommLogRecordSet(Vehicle, FromTime, ToTime, FromSpeed, ToSpeed, FromOffset, ToOffset));
    const ResultSet& rs = model->rows();
    QTableView& grid = m_parts.dbgTrackQuery;
    {
        const PaintingHeldBack held(grid);
        bind(std::move(model));
        for (int column = 0; column < rs.columnCount(); ++column) {
            const std::optional<TrackGridColumn> shown = TrackGridColumnOf(rs.column(column).name);
            grid.setColumnHidden(column, !shown);
            if (shown && shown->width)
                grid.setColumnWidth(column, twipsToPixels(*shown->width));
        }
    }
    const bool rows = !(rs.bof() || rs.eof());
    TrackQueryFrame& frame = m_parts.fraTrackQuery;
    frame.cmdExport()->setEnabled(rows);
    frame.cmdPlay()->setEnabled(rows);
    frame.cmdStopPlay()->setEnabled(false);
    setTimerEnabled(m_parts.Timer3, rows);
}

void TrackQuery::bind(std::unique_ptr<TrackGridModel> model) {
    QTableView& grid = m_parts.dbgTrackQuery;
    // Each binding makes the grid a selection model of its own; the previous one serves nothing any more.
    QItemSelectionModel* previousSelection = grid.selectionModel();
    grid.setModel(model.get());
    delete previousSelection;
    // The previous result goes once the grid no longer shows it.
    std::unique_ptr<TrackGridModel> previous = std::exchange(m_dataSource, std::move(model));
    previous.reset();
    if (!m_dataSource)
        return;

    TrackGridModel* rows = m_dataSource.get();
    // The dispatcher's row moves the result; the result's moves (playback) move the grid's current row.
    // Both connections end with the result.
    QObject::connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, rows,
                     [this, rows](const QModelIndex& current) {
                         if (current.isValid())
                             rows->moveTo(current.row());
                         dbgTrackQuery_RowColChange();
                     });
    QObject::connect(rows, &TrackGridModel::currentRowMoved, &grid, [&grid, rows](int row) {
        if (row < 0) {
            grid.selectionModel()->clear();
            return;
        }
        const QModelIndex current = grid.currentIndex();
        int column = current.isValid() ? current.column() : 0;
        while (column < rows->columnCount() - 1 && grid.isColumnHidden(column))
            ++column;
        grid.setCurrentIndex(rows->index(row, column));
    });
    // The grid's current row is the result's, the first.
    if (rows->rowCount() > 0)
        rows->moveFirst();
}

void TrackQuery::ResetTrackQuery() {
    m_parts.Timer3.stop();
    m_parts.Timer4.stop();
    bind(nullptr);
    if (!m_parts.state.Vehicles.empty())
        m_parts.state.PlaybackSlot() = VehicleRecord{};
    m_parts.RefreshMapPanels(kTrackPanel);
    TrackQueryFrame& frame = m_parts.fraTrackQuery;
    frame.cmdExport()->setEnabled(false);
    frame.cmdPlay()->setEnabled(false);
    frame.cmdStopPlay()->setEnabled(false);
}

void TrackQuery::dbgTrackQuery_Click() {
    m_parts.Timer3.stop();
    m_parts.Timer3.start();
}

void TrackQuery::dbgTrackQuery_RowColChange() {
    dbgTrackQuery_Click();
}

void TrackQuery::Timer3_Timer() {
    RunEventHandler(m_parts.programEnd, [this] {
        m_parts.Timer3.stop();
        if (!m_dataSource)
            return;
        const ResultSet& rs = m_dataSource->rows();
        if (rs.bof() || rs.eof())
            return;
        copyCurrentRow();
        m_parts.RefreshMapPanels(kTrackPanel);
    });
}

void TrackQuery::Timer4_Timer() {
    RunEventHandler(m_parts.programEnd, [this] {
        m_parts.Timer4.stop();
        if (!m_dataSource)
            return;
        const ResultSet& rs = m_dataSource->rows();
        if (rs.bof() || rs.eof()) {
            cmdStopPlay_Click();
            m_dataSource->moveFirst();
            return;
        }
        copyCurrentRow();
        m_parts.RefreshMapPanels(kTrackPanel);
        if (m_parts.state.bPCSound)
            m_parts.Beep();
        m_dataSource->moveNext();
        m_parts.Timer4.start();
    });
}

void TrackQuery::copyCurrentRow() {
    const QString PlateNumber = m_parts.cmbVehicle.text(kTrackPanel);
    const int row = m_parts.lvwVehicle.findRow(VehicleRowKey(PlateNumber));
    if (row < 0)
        throw RuntimeError(kElementNotFound);
    std::vector<VehicleRecord>& Vehicles = m_parts.state.Vehicles;
    if (static_cast<std::size_t>(row) >= Vehicles.size())
        throw RuntimeError(kSubscriptOutOfRange);
    const int16_t CarType = Vehicles[static_cast<std::size_t>(row)].CarType;
    CopyTrackRow(m_dataSource->rows(), PlateNumber, CarType, m_parts.state.PlaybackSlot());
}

void TrackQuery::cmdPlay_Click() {
    setPlaybackButtons(true);
    m_parts.Timer4.start();
}

void TrackQuery::cmdStopPlay_Click() {
    setPlaybackButtons(false);
    m_parts.Timer4.stop();
}

void TrackQuery::setPlaybackButtons(bool playing) {
    for (const QStringView key : kPlaybackLockedButtons)
        m_parts.tblToolbar.setButtonEnabled(key.toString(), !playing);
    TrackQueryFrame& frame = m_parts.fraTrackQuery;
    frame.cmdExport()->setEnabled(!playing);
    frame.cmdPlay()->setEnabled(!playing);
    frame.cmdStopPlay()->setEnabled(playing);
}

void TrackQuery::txtInterval_Change() {
    QLineEdit& box = *m_parts.fraTrackQuery.txtInterval();
    QSlider& slider = *m_parts.fraTrackQuery.sldInterval();
    const int16_t n = PlaybackIntervalSeconds(box.text());
    const QString text = NumberText(n);
    if (box.text() != text)
        box.setText(text);
    if (slider.value() != n)
        slider.setValue(n);
    m_parts.Timer4.setInterval(slider.value() * kMillisecondsPerSecond);
}

void TrackQuery::sldInterval_Change() {
    QLineEdit& box = *m_parts.fraTrackQuery.txtInterval();
    QSlider& slider = *m_parts.fraTrackQuery.sldInterval();
    if (slider.value() != PlaybackIntervalSeconds(box.text()))
        box.setText(NumberText(slider.value()));
    m_parts.Timer4.setInterval(slider.value() * kMillisecondsPerSecond);
}

} // namespace kestrova
