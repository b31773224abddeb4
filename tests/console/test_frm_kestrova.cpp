#include "calling/fake_clock.h"
#include "console/comm_log_text_box.h"
#include "console/frm_kestrova.h"
#include "console/main_toolbar.h"
#include "console/map_panel_widget.h"
#include "console/prepared_program_folder.h"
#include "console/side_tab_widget.h"
#include "console/test_application.h"
#include "console/toolbar_button_rows.h"
#include "console/track_query_frame.h"
#include "console/vehicle_list_widget.h"
#include "data/db_lib.h"
#include "data/schema.h"
#include "startup/fake_message_box.h"
#include "startup/qstring_printer.h"
#include "startup/version.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace kestrova;
using kestrova::test::FakeClock;
using kestrova::test::FakeMessageBox;

namespace {

// A point in the demo town, which the demo map names.
constexpr double kTownX = 121.556;
constexpr double kTownY = 25.03;

class FrmKestrovaTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        ASSERT_NO_FATAL_FAILURE(test::PrepareProgramFolder(m_folder.path()));
        clsDBLib db;
        db.OpenConnection(DatabasePath(m_folder.path()));
        // KS-202 has a position in the town and no answer to its last five calls.
        db.UpdateVehicle(0, "KS-202", "0912000202", QString(), QString(), QString(), QString(), QString(), QString(),
                         "N", "N", 1, true, "2024/03/05 14:03:22", "即時位置", "東經", kTownX, "北緯", kTownY, 35, 90,
                         0, "22222");
        db.CloseConnection();

        writeFile("Kestrova.ini",
                  "[Settings]\r\nDefaultTimeout=10\r\nAutoTimeout=20\r\nManualTimeout=120\r\n"
                  "CommPort=1\r\nEnablePCSound=1\r\nLogDuration=30\r\nTotalCycleTime=120\r\nVelocity=1\r\n"
                  "[Nv5]\r\nProfile=demo-style.json\r\nMap=demo.mbtiles\r\nMmh=demo-background.mbtiles\r\n"
                  "[Zoom]\r\n0=9\r\n1=abc\r\n2=15\r\n7=14\r\n"
                  "[Vehicle]\r\n0=KS-202\r\n6=KS-203\r\n"
                  "[ColumnWidths]\r\nVehicle=900,1200,,3000\r\nSStab=True\r\n"
                  "[TrackQuery]\r\nFromSpeed=12km\r\nToSpeed=80\r\nFromOffset=abc\r\nToOffset=12.50\r\n"
                  "Interval=25\r\n"
                  "[Position]\r\nKestrova=0,300,450,15000,9750,\r\n");
        writeFile("Kestrova.log", QStringLiteral("甲 call\r\n乙 call\r\n").toUtf8());
    }

    void writeFile(const QString& name, const QByteArray& bytes) const {
        QFile file(QDir(m_folder.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readFile(const QString& name) const {
        QFile file(QDir(m_folder.path()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::vector<QString> ini(const QString& section, const std::vector<QString>& keys) const {
        const SettingsFile settings(m_folder.path(), CodePage::system());
        std::vector<QString> values;
        for (const QString& key : keys) {
            values.push_back(settings.GetIniString(section, key));
        }
        return values;
    }

    // The window as the start procedure brings it up: loaded, then shown.
    std::unique_ptr<frmKestrova> start() {
        auto window = std::make_unique<frmKestrova>(m_folder.path(), m_box, m_programEnd, m_clock);
        window->Form_Load();
        window->show();
        return window;
    }

    // The window at this size, laid out as the desktop would leave it.
    static void resizeTo(frmKestrova& w, int width, int height) {
        w.resize(width, height);
        QCoreApplication::processEvents();
    }

    // A click of the left mouse button in the middle of the widget. The mouse is the test's own: the
    // offscreen platform has none, and one made by Qt on demand would outlive the application.
    static void mouseClick(QWidget* widget) {
        const QPointingDevice mouse(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                                    QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3);
        const QPointF centre = QRectF(widget->rect()).center();
        const QPointF global = widget->mapToGlobal(centre);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier, &mouse);
            QApplication::sendEvent(widget, &event);
        }
    }

    QTemporaryDir m_folder;
    FakeMessageBox m_box;
    std::vector<QString> m_endedWith;
    ProgramEnd m_programEnd{m_box, [this] { m_endedWith.push_back(m_box.shown.back().text); }};
    FakeClock m_clock;
};

const std::vector<QString> kPanelKeys = {"0", "1", "2", "3", "4", "5", "6", "7"};

TEST_F(FrmKestrovaTest, StartUp_ShowsTheSavedConsole_AndClosingWritesItBack) {
    std::unique_ptr<frmKestrova> window = start();
    frmKestrova& w = *window;
    ASSERT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
    EXPECT_TRUE(m_box.shown.empty()) << m_box.shown.front().text.toStdString();
    EXPECT_EQ(w.windowTitle(), VersionedTitle(kAppTitle, kVersionMajor, kVersionMinor, kVersionRevision));
    EXPECT_EQ(w.size(), QSize(1000, 650));

    // The eight panels with their restored zooms and vehicles; panel 7's chooser in the track frame.
    const QWidget* area = w.centralWidget();
    std::vector<QString> zooms;
    for (int i = 0; i < kMapPanelCount; ++i) {
        const auto* panel = w.findChild<MapPanelWidget*>(QStringLiteral("fraMap_%1").arg(i));
        ASSERT_NE(panel, nullptr) << i;
        EXPECT_EQ(panel->parentWidget(), area);
        zooms.push_back(panel->zoomCaption());
    }
    EXPECT_EQ(zooms, (std::vector<QString>{"9", "12", "12", "12", "12", "12", "12", "14"}));
    EXPECT_EQ(w.cmbVehicle().text(0), "KS-202");
    EXPECT_EQ(w.cmbVehicle().text(1), "KS-201");
    EXPECT_EQ(w.cmbVehicle().text(6), "KS-203");
    EXPECT_EQ(w.fraMap(kTrackPanel)->cmbVehicle()->parentWidget(), w.fraTrackQuery());
    EXPECT_TRUE(QFile::exists(QDir(m_folder.path()).filePath("image/map0.bmp")));

    // The grid fills the area under the tool bar with 120-twip (8-pixel) margins, and leaves another 120
    // at the bottom for the top edge of the tab control under it.
    const QRect first = w.fraMap(0)->geometry();
    EXPECT_EQ(first.topLeft(), QPoint(8, 8));
    EXPECT_NEAR(w.fraMap(2)->geometry().right() + 1, area->width() - 8, 1);
    EXPECT_NEAR(w.fraMap(5)->geometry().bottom() + 1, area->height() - 16, 1);
    EXPECT_TRUE(w.fraMap(0)->isVisible());
    EXPECT_FALSE(w.fraMap(6)->isVisible());
    EXPECT_FALSE(w.fraMap(7)->isVisible());

    // The list is shown over the map area, refreshed, its columns as saved.
    const VehicleListWidget* list = w.lvwVehicle();
    EXPECT_TRUE(w.state().ListVisible);
    EXPECT_EQ(w.tblToolbar()->buttonCaption("Showlist"), "隱藏列表");
    EXPECT_EQ(w.sstSSTab()->geometry().topLeft(), QPoint(8, 8));
    EXPECT_EQ(list->mapTo(w.sstSSTab(), QPoint()), QPoint(8, 9));
    EXPECT_TRUE(list->updatesEnabled());
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->cellText(1, VehicleListColumn::PlateNumber), "KS-202");
    EXPECT_TRUE(list->topLevelItem(1)->font(0).bold());
    EXPECT_FALSE(list->cellText(1, VehicleListColumn::Position).isEmpty());
    EXPECT_EQ(list->headerItem()->text(7), "位移");
    const int defaultWidth = list->header()->defaultSectionSize();
    EXPECT_EQ(list->columnWidth(0), 60);
    EXPECT_EQ(list->columnWidth(1), 80);
    EXPECT_EQ(list->columnWidth(2), 150);
    EXPECT_EQ(list->columnWidth(3), 200);
    EXPECT_EQ(list->columnWidth(5), defaultWidth);

    EXPECT_EQ(w.txtCommLog()->text(), "甲 call\r\n乙 call");
    const TrackQueryFrame* track = w.fraTrackQuery();
    EXPECT_EQ(track->txtFromSpeed()->text(), "12");
    EXPECT_EQ(track->txtFromOffset()->text(), "0");
    EXPECT_EQ(track->txtToOffset()->text(), "12.5");
    EXPECT_EQ(track->txtInterval()->text(), "10");
    EXPECT_EQ(w.Timer4()->interval(), 10000);
    EXPECT_FALSE(w.sstSSTab()->isTabEnabled(2));
    EXPECT_FALSE(w.Timer1()->Enabled());
    EXPECT_FALSE(w.Timer2()->Enabled());
    for (QTimer* timer : {w.Timer3(), w.Timer4()}) {
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    }

    // The log tab takes the search away; the list tab gives it back.
    w.sstSSTab()->setCurrentIndex(1);
    EXPECT_FALSE(w.tblToolbar()->isButtonEnabled("Search"));
    EXPECT_TRUE(w.txtCommLog()->isVisible());
    w.sstSSTab()->setCurrentIndex(0);
    EXPECT_TRUE(w.tblToolbar()->isButtonEnabled("Search"));

    // The operator hides the list, zooms panel 0 in, edits a filter and leaves through "Exit".
    w.tblToolbar()->button("Showlist")->trigger();
    EXPECT_FALSE(w.state().ListVisible);
    EXPECT_EQ(w.tblToolbar()->buttonCaption("Showlist"), "顯示列表");
    EXPECT_GT(w.sstSSTab()->geometry().top(), first.bottom());
    emit w.fraMap(0)->imgZoomInClick(0);

    track->txtFromSpeed()->setText("7.50 km");
    w.tblToolbar()->button("Exit")->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(m_endedWith.empty());

    EXPECT_EQ(readFile("Kestrova.log"), QStringLiteral("甲 call\r\n乙 call\r\n").toUtf8());
    EXPECT_EQ(ini("Zoom", kPanelKeys), (std::vector<QString>{"10", "12", "12", "12", "12", "12", "12", "14"}));
    EXPECT_EQ(ini("Vehicle", kPanelKeys),
              (std::vector<QString>{"KS-202", "KS-201", "KS-201", "KS-201", "KS-201", "KS-201", "KS-203", "KS-201"}));
    EXPECT_EQ(ini("TrackQuery", {"FromSpeed", "ToSpeed", "FromOffset", "ToOffset", "Interval"}),
              (std::vector<QString>{"7.5", "80", "0", "12.5", "10"}));
    const QString d = QString::number(defaultWidth * 15);
    EXPECT_EQ(ini("ColumnWidths", {"Vehicle", "SStab"}),
              (std::vector<QString>{"900,1200,2250,3000,1500," + d + ',' + d + ',' + d, "False"}));
    EXPECT_EQ(ini("Position", {"Kestrova"}), std::vector<QString>{"0,300,450,15000,9750,"});
}

TEST_F(FrmKestrovaTest, ClosedWhileTheListRefreshes_RefreshStopsWithoutError) {
    std::unique_ptr<frmKestrova> window = start();
    frmKestrova& w = *window;
    w.tblToolbar()->button("Showlist")->trigger();
    ASSERT_FALSE(w.state().ListVisible);

    // The close comes in at the refresh's first yield; the vehicle with a position is still to be described.
    QTimer::singleShot(0, &w, [&w] { w.close(); });
    w.tblToolbar()->button("Showlist")->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(m_endedWith.empty()) << m_endedWith.front().toStdString();
    EXPECT_TRUE(w.lvwVehicle()->updatesEnabled());
    EXPECT_EQ(ini("ColumnWidths", {"SStab"}), std::vector<QString>{"True"});
}

// Behind the failure rule's box nothing of the console runs: its timers are off, a close (the close box
// or a close signal) waits, and no shut-down step saves anything.
TEST_F(FrmKestrovaTest, FailureRule_StopsTheConsoleBehindItsBox) {
    std::unique_ptr<frmKestrova> window = start();
    frmKestrova& w = *window;
    w.tblToolbar()->button("Dial")->trigger();
    ASSERT_TRUE(w.Timer1()->Enabled());
    w.Timer3()->start();
    const QByteArray logBefore = readFile("Kestrova.log");
    bool timersOff = false;
    m_box.whileShown = [&] {
        timersOff = !w.Timer1()->Enabled() && !w.Timer2()->Enabled() && !w.Timer3()->isActive();
        w.close();
        w.tblToolbar()->button("Showlist")->trigger();
    };

    w.RefreshMapPanels(9);

    ASSERT_EQ(m_endedWith.size(), 1u);
    EXPECT_TRUE(timersOff);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.state().ListVisible);
    EXPECT_EQ(readFile("Kestrova.log"), logBefore);
}

// However narrow the window, as far as the layout goes (6240 twips), no button goes into an overflow menu:
// the bar wraps onto further rows, and the layout under it follows its height.
TEST_F(FrmKestrovaTest, From800DownTo420Wide_EveryToolBarButtonStaysInSightWithItsWholeCaption_AndClicks) {
    std::unique_ptr<frmKestrova> window = start();
    frmKestrova& w = *window;
    const MainToolbar* bar = w.tblToolbar();
    const ToolbarButtonRows* rows = bar->buttonRows();
    std::vector<int> heights;
    for (const int width : {800, 690, 500, 420}) {
        SCOPED_TRACE(width);
        resizeTo(w, width, 600);
        ASSERT_EQ(bar->width(), width);
        heights.push_back(bar->height());

        const auto* overflow = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        EXPECT_TRUE(overflow == nullptr || !overflow->isVisible());
        for (QAction* action : rows->actions()) {
            if (action->isSeparator())
                continue;
            SCOPED_TRACE(action->objectName().toStdString());
            const QWidget* button = rows->widgetForAction(action);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->isVisible());
            EXPECT_TRUE(bar->rect().contains(QRect(button->mapTo(bar, QPoint()), button->size())));
            const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
            EXPECT_LE(button->fontMetrics().horizontalAdvance(action->text()), button->width() - 2 * frame);
        }
        // Under the bar the layout goes on as before: the grid starts 120 twips below it and ends 240
        // above the status bar, so TBH was the bar's height with all its rows.
        const QWidget* area = w.centralWidget();
        EXPECT_EQ(area->geometry().top(), bar->geometry().bottom() + 1);
        EXPECT_EQ(w.fraMap(0)->mapTo(&w, QPoint()).y(), bar->geometry().bottom() + 1 + 8);
        EXPECT_NEAR(w.fraMap(5)->geometry().bottom() + 1, area->height() - 16, 1);
    }
    EXPECT_TRUE(std::is_sorted(heights.begin(), heights.end()));
    EXPECT_GT(heights.back(), heights.front()) << "more rows";

    mouseClick(rows->widgetForAction(bar->button("Showlist")));
    EXPECT_FALSE(w.state().ListVisible);
    mouseClick(rows->widgetForAction(bar->button("Exit")));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(m_endedWith.empty());
}

TEST_F(FrmKestrovaTest, At1024By768And800By600_TheThreeTabsFitTheirControlInEveryMode) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> modes = {
        {"automatic, list over the maps", {}},
        {"automatic, list hidden", {"Showlist"}},
        {"manual", {"ManualCall"}},
        {"track query", {"TrackQuery"}},
        {"automatic after track query", {"Kestrova", "Showlist"}},
    };
    for (const QSize size : {QSize(1024, 768), QSize(800, 600)}) {
        std::unique_ptr<frmKestrova> window = start();
        frmKestrova& w = *window;
        resizeTo(w, size.width(), size.height());
        const MainToolbar* bar = w.tblToolbar();
        const QTabBar* tabs = w.sstSSTab()->tabBar();
        for (const auto& [mode, clicks] : modes) {
            SCOPED_TRACE(std::to_string(size.width()) + " " + mode);
            for (const char* key : clicks)
                bar->button(QString::fromLatin1(key))->trigger();
            QCoreApplication::processEvents();
            ASSERT_EQ(tabs->count(), 3);
            EXPECT_LE(tabs->sizeHint().height(), w.sstSSTab()->height());
            EXPECT_LE(tabs->geometry().bottom(), w.sstSSTab()->height());
            // Beside the tab contents, which end 1050 twips (70 pixels) short of the control's right edge.
            const QWidget* list = w.lvwVehicle();
            EXPECT_GE(tabs->mapTo(w.sstSSTab(), QPoint()).x(), list->mapTo(w.sstSSTab(), QPoint(list->width(), 0)).x());
            for (int i = 0; i < tabs->count(); ++i) {
                const QRect tab = tabs->tabRect(i);
                EXPECT_TRUE(tabs->rect().contains(tab)) << i;
                const QSize caption = tabs->fontMetrics().size(0, StackedTabCaption(tabs->tabText(i)));
                EXPECT_LE(caption.width(), tab.width()) << i;
                EXPECT_LE(caption.height(), tab.height()) << i;
            }
            for (const QToolButton* scroll : tabs->findChildren<QToolButton*>())
                EXPECT_FALSE(scroll->isVisible());
        }
        EXPECT_EQ(w.state().CallMode, 0);
        EXPECT_TRUE(w.state().ListVisible);
        w.close();
    }
}

} // namespace
