#include "calling/fake_clock.h"
#include "console/frm_kestrova.h"
#include "console/main_toolbar.h"
#include "console/map_panel_widget.h"
#include "console/map_report_printing.h"
#include "console/prepared_program_folder.h"
#include "console/test_application.h"
#include "console/track_export.h"
#include "console/track_query.h"
#include "console/track_query_frame.h"
#include "data/db_lib.h"
#include "data/sql_connection.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"
#include "startup/settings_file.h"
#include "track/map_report.h"
#include "track/track_grid_model.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace kestrova;

namespace {

constexpr double kTownX = 121.556;
constexpr double kTownY = 25.03;
const QString kTerminal = QStringLiteral("0912000201");
const QStringList kLockedButtons = {"Management", "Kestrova", "ManualCall", "TrackQuery", "Settings", "About"};
const QList<bool> kAllOn(6, true);
const QList<bool> kAllOff(6, false);

// The dispatcher's session in track query over KS-201's log: on 2024/03/05 twelve fixes ten minutes apart
// from 08:00 (speed 10 × i, offset 5 × i, moving east) and one at 23:59:59; one fix on the day before and
// one on the day after. KS-202 has a fix of its own that day.
class TrackQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        ASSERT_NO_FATAL_FAILURE(test::PrepareProgramFolder(m_folder.path()));
        clsDBLib db;
        db.OpenConnection(DatabasePath(m_folder.path()));
        // KS-201 drives a Mini (car type 3).
        db.UpdateVehicle(0, "KS-201", kTerminal, {}, {}, {}, {}, {}, {}, "N", "N", 3, true, {}, {}, {}, 0, {}, 0, 0, 0,
                         0, "00000");
        for (int i = 0; i < 12; ++i) {
            log(db, kTerminal,
                QStringLiteral("2024/03/05 %1:%2:00")
                    .arg(8 + i / 6, 2, 10, QChar(u'0'))
                    .arg(i % 6 * 10, 2, 10, QChar(u'0')),
                kTownX + 0.0005 * i, 10.0F * i, 5.0F * i);
        }
        log(db, kTerminal, "2024/03/05 23:59:59", kTownX, 50, 1);
        log(db, kTerminal, "2024/03/04 12:00:00", kTownX, 5, 0);
        log(db, kTerminal, "2024/03/06 06:30:00", 5.5, 5, 0);
        log(db, "0912000202", "2024/03/05 09:00:00", kTownX, 10, 0);
        db.CloseConnection();
        writeIni("[Settings]\r\nDefaultTimeout=10\r\nAutoTimeout=20\r\nManualTimeout=120\r\nCommPort=1\r\n"
                 "EnablePCSound=0\r\nLogDuration=30\r\nTotalCycleTime=120\r\nVelocity=1\r\n[Nv5]\r\nProfile=demo-style."
                 "json\r\nMap=demo.mbtiles\r\n"
                 "Mmh=demo-background.mbtiles\r\n"
                 "[Vehicle]\r\n7=KS-201\r\n[Zoom]\r\n7=13\r\n");

        m_window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
        w().trackDesktop().exec = [this](QDialog& dialog) { return m_answer ? m_answer(dialog) : QDialog::Rejected; };
        w().trackDesktop().openUrl = [this](const QUrl& url) {
            m_opened << url.toLocalFile();
            return true;
        };
        w().Form_Load();
        w().show();
        w().tblToolbar()->button("TrackQuery")->trigger();
        ASSERT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
        setDays(QDate(2024, 3, 5), QDate(2024, 3, 5));
        setFilters("0", "1000", "0", "1000");
    }

    static void log(clsDBLib& db, const QString& terminal, const QString& time, double x, float speed, float offset) {
        db.InsertCommLog(terminal, time, "即時位置", "東經", x, "北緯", kTownY, speed, 90, offset, "00000", "河濱路");
    }

    void writeIni(const QByteArray& bytes) const {
        QFile file(path("Kestrova.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QString path(const QString& name) const { return QDir(m_folder.path()).filePath(name); }
    frmKestrova& w() { return *m_window; }
    TrackQueryFrame& frame() { return *w().fraTrackQuery(); }
    TrackGridModel* rows() { return w().trackQuery().dataSource(); }
    int currentGridRow() { return w().dbgTrackQuery()->currentIndex().row(); }

    void setDays(const QDate& from, const QDate& to) {
        frame().dtpFromTime()->setDate(from);
        frame().dtpToTime()->setDate(to);
    }
    void setFilters(const QString& fromSpeed, const QString& toSpeed, const QString& fromOffset,
                    const QString& toOffset) {
        frame().txtFromSpeed()->setText(fromSpeed);
        frame().txtToSpeed()->setText(toSpeed);
        frame().txtFromOffset()->setText(fromOffset);
        frame().txtToOffset()->setText(toOffset);
    }
    // The query button, then the 50 ms wait that shows the current row.
    void query() {
        frame().cmdQuery()->click();
        if (w().Timer3()->isActive())
            w().trackQuery().Timer3_Timer();
    }
    QStringList gridColumn(const QString& name) {
        QStringList cells;
        const int column = rows()->rows().columnIndex(name);
        for (int row = 0; row < rows()->rowCount(); ++row)
            cells << rows()->data(rows()->index(row, column)).toString();
        return cells;
    }
    // Whether the six buttons that playback locks are enabled.
    QList<bool> lockedButtons() const {
        QList<bool> enabled;
        for (const QString& key : kLockedButtons)
            enabled << m_window->tblToolbar()->isButtonEnabled(key);
        return enabled;
    }
    // The save dialog answers with file and the filter at index (from 0), after noting in seen how it
    // opened: "title|filter|file".
    void answerSaveDialog(const QString& file, int filter, QStringList& seen) {
        m_answer = [file, filter, &seen](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            seen << dialog.windowTitle() + '|' + files.selectedNameFilter() + '|' + files.selectedFiles().value(0);
            files.selectFile(file);
            files.selectNameFilter(files.nameFilters().at(filter));
            return QDialog::Accepted;
        };
    }
    QString ini(const QString& section, const QString& key) const {
        return SettingsFile(m_folder.path(), CodePage::system()).GetIniString(section, key);
    }

    QTemporaryDir m_folder;
    test::FakeMessageBox m_box;
    std::vector<QString> m_endedWith;
    ProgramEnd m_programEnd{m_box, [this] { m_endedWith.push_back(m_box.shown.back().text); }};
    test::FakeClock m_clock;
    std::unique_ptr<frmKestrova> m_window;
    std::function<int(QDialog&)> m_answer;
    QStringList m_opened;
};

TEST_F(TrackQueryTest, Query_FilterTextsAndInclusiveBounds) {
    struct Case {
        QStringList filters;
        QDate from, to;
        QStringList shownFilters;
        QStringList times;
    };
    const QStringList morning = {"08:00:00", "08:10:00", "08:20:00", "08:30:00", "08:40:00", "08:50:00",
                                 "09:00:00", "09:10:00", "09:20:00", "09:30:00", "09:40:00", "09:50:00"};
    const QDate day(2024, 3, 5);
    const std::vector<Case> cases = {
        {{"abc", "1000", "0", "99999"}, day, day, {"0", "1000", "0", "99999"}, morning + QStringList{"23:59:59"}},
        {{"12abc", "50", "", "1e9"},
         day,
         day,
         {"12", "50", "0", "1000000000"},
         {"08:20:00", "08:30:00", "08:40:00", "08:50:00", "23:59:59"}},
        {{"20", "20", "10", "10"}, day, day, {"20", "20", "10", "10"}, {"08:20:00"}},
        {{"40", "1e300", "0", "1e300"}, day, day, {"40", "1E+300", "0", "1E+300"},
         {"08:40:00", "08:50:00", "09:00:00", "09:10:00", "09:20:00", "09:30:00", "09:40:00", "09:50:00", "23:59:59"}},
        {{"0", "5", "0", "0"},
         day.addDays(-1),
         day.addDays(1),
         {"0", "5", "0", "0"},
         {"12:00:00", "08:00:00", "06:30:00"}},
        {{"0", "1000", "0", "1000"}, day.addDays(1), day, {"0", "1000", "0", "1000"}, {}},
    };
    for (const Case& c : cases) {
        setFilters(c.filters[0], c.filters[1], c.filters[2], c.filters[3]);
        setDays(c.from, c.to);
        query();
        ASSERT_NE(rows(), nullptr) << c.filters.join(',').toStdString();
        EXPECT_EQ((QStringList{frame().txtFromSpeed()->text(), frame().txtToSpeed()->text(),
                               frame().txtFromOffset()->text(), frame().txtToOffset()->text()}),
                  c.shownFilters);
        QStringList times;
        for (const QString& time : gridColumn("DialTime"))
            times << time.mid(11);
        EXPECT_EQ(times, c.times) << c.filters.join(',').toStdString();
        const bool found = !c.times.isEmpty();
        EXPECT_EQ(frame().cmdExport()->isEnabled(), found);
        EXPECT_EQ(frame().cmdPlay()->isEnabled(), found);
        EXPECT_FALSE(frame().cmdStopPlay()->isEnabled());
        EXPECT_EQ(w().tblToolbar()->isButtonEnabled("Print"), found);
    }

    // With no vehicle chosen the button only resets: the grid is unbound.
    w().fraMap(kTrackPanel)->cmbVehicle()->setCurrentIndex(-1);
    query();
    EXPECT_EQ(rows(), nullptr);
    EXPECT_EQ(w().dbgTrackQuery()->model(), nullptr);
    EXPECT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
}

TEST_F(TrackQueryTest, Grid_ShowsSixColumnsWithTheirCaptions_Panel7TheFirstRowWithoutAClick) {
    // Before any query the mode's empty query has given the grid its columns.
    ASSERT_NE(rows(), nullptr);
    EXPECT_EQ(rows()->rowCount(), 0);

    query();
    const QTableView& grid = *w().dbgTrackQuery();
    QStringList shown;
    for (int column = 0; column < rows()->columnCount(); ++column)
        if (!grid.isColumnHidden(column))
            shown << rows()->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(shown, QStringList({"撥號時間", "撥號情形", "位置", "速度", "方向", "位移"}));
    EXPECT_EQ(grid.columnWidth(rows()->rows().columnIndex(u"DialTime_1")), 175);
    // The date pickers' edit fields hold a whole date beside the drop-down button.
    for (const QDateEdit* picker : {frame().dtpFromTime(), frame().dtpToTime()}) {
        const auto* field = picker->findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        EXPECT_GE(field->width(), picker->fontMetrics().horizontalAdvance("2026/12/09") + 4);
    }
    EXPECT_EQ(currentGridRow(), 0);

    // The query started the 50 ms wait, whose tick put the first row on panel 7 with KS-201's car type.
    EXPECT_EQ(w().Timer3()->interval(), 50);
    const VehicleRecord& shownPoint = w().state().PlaybackSlot();
    EXPECT_EQ(shownPoint.PlateNumber, "KS-201");
    EXPECT_EQ(shownPoint.CarType, 3);
    EXPECT_EQ(shownPoint.DialTime, "2024/03/05 08:00:00");
    EXPECT_EQ(shownPoint.X, kTownX);
    EXPECT_EQ(shownPoint.Address, "河濱路");
    EXPECT_FALSE(w().fraMap(kTrackPanel)->vehiclePicture().isNull());
    EXPECT_FALSE(w().Timer3()->isActive());
}

TEST_F(TrackQueryTest, Playback_FromTheTenthRow_StopsByItselfOnTheFirstRow_AClickedRowGoesOn) {
    query();
    w().dbgTrackQuery()->setCurrentIndex(rows()->index(9, 1));
    frame().cmdPlay()->click();
    EXPECT_TRUE(w().Timer4()->isActive());
    EXPECT_EQ(lockedButtons(), kAllOff);
    EXPECT_FALSE(frame().cmdExport()->isEnabled());
    EXPECT_TRUE(frame().cmdStopPlay()->isEnabled());

    // Each tick shows its row; the next row is current and its Timer3 wait restarted.
    QStringList shown;
    int ticks = 0;
    for (; w().Timer4()->isActive() && ticks < 20; ++ticks) {
        w().trackQuery().Timer4_Timer();
        shown << w().state().PlaybackSlot().DialTime.mid(11);
        if (w().Timer3()->isActive())
            w().trackQuery().Timer3_Timer();
    }
    EXPECT_EQ(shown, QStringList({"09:30:00", "09:40:00", "09:50:00", "23:59:59", "23:59:59"}));
    EXPECT_EQ(currentGridRow(), 0);
    EXPECT_EQ(w().state().PlaybackSlot().DialTime, "2024/03/05 08:00:00") << "Timer3 showed the first row again";
    EXPECT_EQ(lockedButtons(), kAllOn);
    EXPECT_TRUE(frame().cmdExport()->isEnabled());
    EXPECT_TRUE(frame().cmdPlay()->isEnabled());
    EXPECT_FALSE(frame().cmdStopPlay()->isEnabled());

    // A row clicked during playback: the next step shows it.
    frame().cmdPlay()->click();
    w().trackQuery().Timer4_Timer();
    w().dbgTrackQuery()->setCurrentIndex(rows()->index(3, 1));
    w().trackQuery().Timer4_Timer();
    EXPECT_EQ(w().state().PlaybackSlot().DialTime, "2024/03/05 08:30:00");
    EXPECT_EQ(currentGridRow(), 4);

    // A query during playback stops it, but the six buttons stay locked until playback starts and stops.
    query();
    EXPECT_FALSE(w().Timer4()->isActive());
    EXPECT_FALSE(frame().cmdStopPlay()->isEnabled());
    EXPECT_EQ(lockedButtons(), kAllOff);
    EXPECT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
}

TEST_F(TrackQueryTest, IntervalBoxAndSlider_KeptEqual_OneToTenSeconds) {
    const std::vector<std::pair<QString, int>> cases = {{"0", 1},   {"", 1},    {"25", 10},
                                                        {"2.5", 2}, {"3.5", 4}, {"99999", 10}};
    for (const auto& [typed, seconds] : cases) {
        frame().txtInterval()->setText(typed);
        EXPECT_EQ(frame().txtInterval()->text(), QString::number(seconds)) << typed.toStdString();
        EXPECT_EQ(frame().sldInterval()->value(), seconds);
        EXPECT_EQ(w().Timer4()->interval(), seconds * 1000);
    }
    frame().sldInterval()->setValue(7);
    EXPECT_EQ(frame().txtInterval()->text(), "7");
    EXPECT_EQ(w().Timer4()->interval(), 7000);
}

TEST_F(TrackQueryTest, Export_BothFormatsByteForByte_FromTheFirstRow_NameAndFilterRemembered) {
    setFilters("0", "5", "0", "0");
    setDays(QDate(2024, 3, 4), QDate(2024, 3, 6));
    query();
    w().dbgTrackQuery()->setCurrentIndex(rows()->index(1, 1));

    const QString trk = path("exports/three days.trk");
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("exports"));
    QStringList seen;
    answerSaveDialog(trk, 1, seen);
    frame().cmdExport()->click();

    const QByteArray header = "H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track\r\n";
    QFile written(trk);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), header + "T  +25.0300000 +121.5560000 04-MAR-24 12:00:00 -9999\r\n\r\n" + header +
                                     "T  +25.0300000 +121.5560000 05-MAR-24 08:00:00 -9999\r\n\r\n" + header +
                                     "T  +25.0300000 +5.5000000   06-MAR-24 06:30:00 -9999\r\n");
    EXPECT_EQ(m_opened, QStringList{trk});
    EXPECT_EQ(ini("Export", "FileName"), trk);
    EXPECT_EQ(currentGridRow(), 1) << "the grid's row stays";

    // The next dialog opens on that name and the filter chosen last; the text format this time.
    const QString txt = path("exports/track");
    answerSaveDialog(txt, 0, seen);
    frame().cmdExport()->click();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].startsWith("匯出檔案|PaPaGO! 航跡檔(*.txt)|")) << seen[0].toStdString();
    EXPECT_EQ(seen[1], "匯出檔案|MapSource 6.5 航跡檔(*.trk)|" + trk);
    QFile text(txt);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << "the name is used as typed";
    EXPECT_EQ(text.readAll(), "Datum,WGS84,WGS84,0,0,0,0,0\r\n"
                              "TP,D, 25.030000000, 121.556000000, 24/03/04,12:00:00,0\r\n"
                              "TP,D, 25.030000000, 121.556000000, 24/03/05,08:00:00,0\r\n"
                              "TP,D, 25.030000000, 5.500000000, 24/03/06,06:30:00,0\r\n");
    EXPECT_EQ(ini("Export", "FileName"), txt);
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(TrackQueryTest, Export_CancelOrUnwritableTarget_LeavesTheNameAndGoesOn) {
    query();
    SettingsFile(m_folder.path(), CodePage::system()).WriteIniString("Export", "FileName", "/old/track.txt");
    frame().cmdExport()->click(); // cancelled
    const QString unwritable = path("missing/track.txt");
    QStringList seen;
    answerSaveDialog(unwritable, 0, seen);
    frame().cmdExport()->click();

    EXPECT_EQ(ini("Export", "FileName"), "/old/track.txt");
    ASSERT_EQ(m_box.shown.size(), 1U);
    EXPECT_EQ(m_box.shown[0].kind, "critical");
    EXPECT_TRUE(m_box.shown[0].text.contains(unwritable)) << m_box.shown[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_TRUE(m_endedWith.empty());
    EXPECT_TRUE(frame().cmdExport()->isEnabled());
}

TEST_F(TrackQueryTest, Export_RowWithATextForItsLongitude_IsNamedAndNothingWritten) {
    // Another program's row: a text passes the query's X > 0.
    SqlConnection raw;
    raw.open(DatabasePath(m_folder.path()), QByteArray(kDatabaseKey), SqlConnection::OpenMode::ExistingOnly);
    raw.execute(QStringLiteral("INSERT INTO CommLog (PlateNumber,DialTime,X,Y,Speed,Offset) VALUES ('%1',"
                               "'2024/03/05 08:05:00','abc',25.03,0,0)")
                    .arg(kTerminal));
    raw.close();
    query();
    const QString target = path("track.txt");
    QStringList seen;
    answerSaveDialog(target, 0, seen);
    frame().cmdExport()->click();

    ASSERT_EQ(m_box.shown.size(), 1U);
    EXPECT_EQ(m_box.shown[0].kind, "critical");
    EXPECT_EQ(m_box.shown[0].text, QDir::toNativeSeparators(target) +
                                       ": 資料列 DialTime \"2024/03/05 08:05:00\" 的經度 X 不是 0 到 180 之間的數值");
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(ini("Export", "FileName").isEmpty());
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_TRUE(m_endedWith.empty());
}

TEST_F(TrackQueryTest, Print_EmptyGridDoesNothing_ElseTheShownRowsReportWithItsPlacementKept) {
    int reports = 0;
    m_answer = [&](QDialog&) {
        ++reports;
        return QDialog::Accepted;
    };
    w().tblToolbar()->button("Print")->setEnabled(true); // as if a query had found rows
    w().tblToolbar()->button("Print")->trigger();
    EXPECT_EQ(reports, 0);
    EXPECT_FALSE(QFile::exists(path("image/MAP8.BMP")));

    query();
    w().dbgTrackQuery()->setCurrentIndex(rows()->index(4, 1));
    w().trackQuery().Timer3_Timer();
    MapReportPage page;
    m_answer = [&](QDialog& dialog) {
        auto& report = dynamic_cast<MapReport&>(dialog);
        EXPECT_EQ(report.windowTitle(), "列印地圖");
        page = report.page();
        report.move(40, 60);
        report.resize(500, 600);
        return QDialog::Accepted;
    };
    w().tblToolbar()->button("Print")->trigger();
    ASSERT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
    EXPECT_TRUE(page.MAPDetail.startsWith("車輛編號：KS-201  撥號時間：")) << page.MAPDetail.toStdString();
    EXPECT_TRUE(page.MAPDetail.endsWith("  撥號情形：即時位置  速度：40 km")) << page.MAPDetail.toStdString();
    EXPECT_EQ(page.PrintDate, MapReportPrintDate(QDate(2024, 3, 5)));
    EXPECT_EQ(page.MapImage.size(), QSize(710, 466));
    EXPECT_TRUE(QFile::exists(path("image/MAP8.BMP")));
    const QString placement = ini("Position", "MapReport");
    EXPECT_TRUE(placement.startsWith("0,600,900,7500,9000,")) << placement.toStdString();

    // The next report opens where this one was left.
    QRect opened;
    m_answer = [&](QDialog& dialog) {
        opened = QRect(dialog.pos(), dialog.size());
        return QDialog::Rejected;
    };
    w().tblToolbar()->button("Print")->trigger();
    EXPECT_EQ(opened, QRect(40, 60, 500, 600));
}

} // namespace
