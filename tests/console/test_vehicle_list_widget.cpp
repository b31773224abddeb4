#include "console/vehicle_list_widget.h"

#include "startup/qstring_printer.h"
#include "test_application.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPointingDevice>
#include <gtest/gtest.h>

using namespace kestrova;
using Column = kestrova::VehicleListColumn;

namespace {

VehicleListRowTexts Texts(const QString& plate) {
    return {plate, "是", "", "", "", "0 公里", "北", "0 公尺"};
}

TEST(VehicleListWidget, Rows_KeepKeysColoursAndTheSelection) {
    test::TestApplication();
    VehicleListWidget list;
    list.addRow("#A", Texts("A"));
    list.addRow("#B", Texts("B"));

    EXPECT_EQ(list.objectName(), "lvwVehicle");
    EXPECT_EQ(list.findRow("#B"), 1);
    EXPECT_EQ(list.findRow("B"), -1);
    EXPECT_EQ(list.topLevelItem(1)->text(6), "北");

    list.setCellColour(1, Column::Speed, 255);
    list.setCellColour(1, Column::Offset, 0xC00000);
    list.setCellBold(1, Column::PlateNumber, true);
    EXPECT_EQ(list.topLevelItem(1)->foreground(5).color(), QColor(255, 0, 0));
    EXPECT_EQ(list.topLevelItem(1)->foreground(7).color(), QColor(0, 0, 0xC0));
    EXPECT_TRUE(list.topLevelItem(1)->font(0).bold());

    list.selectRow(1);
    EXPECT_EQ(list.selectedRow(), 1);
    list.clearRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.selectedRow(), -1);
}

TEST(VehicleListWidget, MouseAndMenu_ArePassedOnInTheListsCodes) {
    test::TestApplication();
    VehicleListWidget list;
    std::vector<std::array<int, 4>> mouseUps;
    std::vector<int> padClicks;
    QObject::connect(&list, &VehicleListWidget::MouseUp, [&](int16_t button, int16_t shift, int x, int y) {
        mouseUps.push_back({button, shift, x, y});
    });
    QObject::connect(&list, &VehicleListWidget::menVehiclePadClick, [&](int16_t index) { padClicks.push_back(index); });

    // A device of the test's own: Qt's lazily made default one does not survive the application's end.
    QPointingDevice mouse(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                          QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(12, 7), list.viewport()->mapToGlobal(QPointF(12, 7)),
                        Qt::RightButton, Qt::NoButton, Qt::ControlModifier | Qt::AltModifier, &mouse);
    QCoreApplication::sendEvent(list.viewport(), &release);
    EXPECT_EQ(mouseUps, (std::vector<std::array<int, 4>>{{2, 6, 12, 7}}));

    MenuItem* pad = list.menVehiclePad().at(0);
    pad->setCaption("取消追蹤(&D)");
    EXPECT_EQ(list.menVehicle()->actions().at(0)->text(), "取消追蹤(&D)");
    list.menVehicle()->actions().at(0)->trigger();
    pad->setEnabled(false);
    list.menVehicle()->actions().at(0)->trigger(); // a disabled item does nothing
    EXPECT_EQ(padClicks, std::vector<int>({0}));
}

} // namespace
