#include "console/map_panel_choosers.h"
#include "console/map_panel_widget.h"

#include "startup/qstring_printer.h"
#include "startup/runtime_error.h"
#include "test_application.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrova;

namespace {

class MapPanelWidgetTest : public ::testing::Test {
protected:
    MapPanelWidgetTest() {
        test::TestApplication();
        m_window = std::make_unique<QWidget>();
        for (int i = 0; i < kMapPanelCount; ++i) {
            m_panels[static_cast<std::size_t>(i)] =
                new MapPanelWidget(static_cast<int16_t>(i), m_folder.path(), m_window.get());
        }
    }

    MapPanelWidget& panel(int i) { return *m_panels.at(static_cast<std::size_t>(i)); }

    template <typename T = QWidget> T* child(const QString& name) {
        T* found = m_window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QString writeImage(const QString& name, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        const QString file = m_folder.filePath(name);
        EXPECT_TRUE(image.save(file, "BMP"));
        return file;
    }

    QTemporaryDir m_folder;
    std::unique_ptr<QWidget> m_window;
    std::array<MapPanelWidget*, kMapPanelCount> m_panels{};
};

TEST_F(MapPanelWidgetTest, EightPanels_CarryTheirControlsNames) {
    for (int i = 0; i < kMapPanelCount; ++i) {
        EXPECT_EQ(child(QStringLiteral("fraMap_%1").arg(i)), &panel(i));
        for (const char* name :
             {"lblCaption", "lblZoom", "imgZoomIn", "imgZoomOut", "cmbVehicle", "imgMap", "imgVehicle", "lblSpeed"}) {
            QWidget* control = child(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
            EXPECT_TRUE(control == nullptr || control->parentWidget() == &panel(i)) << name << " " << i;
        }
        for (int k = 0; k < kLampCount; ++k) {
            child<MapPanelLamp>(QStringLiteral("shpLED_%1").arg(5 * i + k));
        }
        for (int j = 0; j < kLandmarkSlotCount; ++j) {
            const QString name = QStringLiteral("Houseimg%1_%2").arg(i).arg(j);
            EXPECT_EQ(m_window->findChild<QWidget*>(name) != nullptr, i < kLandmarkPanelCount) << name.toStdString();
        }
    }
    EXPECT_EQ(panel(0).zoomCaption(), QStringLiteral("12"));
}

TEST_F(MapPanelWidgetTest, ApplyLayout_PlacesPanelAndInnerControlsInPixels) {
    MainWindowLayoutInputs in;
    in.Visible = true;
    in.SW = 15000;
    in.SH = 9000;
    in.TBH = 600;
    in.SBH = 300;
    const MainWindowLayout layout = computeMainWindowLayout(in).value();
    for (int i = 0; i < kMapPanelCount; ++i) {
        panel(i).applyLayout(layout.panels[static_cast<std::size_t>(i)]);
    }

    const MapPanelLayout& p4 = layout.panels[4];
    EXPECT_EQ(panel(4).geometry(), toPixels(p4.fraMap));
    EXPECT_EQ(child(QStringLiteral("imgMap_4"))->geometry(), toPixels(p4.imgMap));
    EXPECT_EQ(child(QStringLiteral("imgZoomOut_4"))->geometry(), toPixels(p4.imgZoomOut));
    EXPECT_EQ(child(QStringLiteral("shpLED_22"))->geometry(), toPixels(p4.shpLED[2]));
    EXPECT_EQ(child(QStringLiteral("imgVehicle_4"))->geometry(), toPixels(p4.imgVehicle));
    EXPECT_EQ(child(QStringLiteral("lblCaption_4"))->pos(), toPixels(p4.lblCaption));
    QWidget* chooser = child(QStringLiteral("cmbVehicle_4"));
    EXPECT_EQ(chooser->geometry(), toPixels(*p4.cmbVehicle, chooser->height()));
    EXPECT_EQ(panel(4).panelWidth(), static_cast<float>(panel(4).width() * 15));
    EXPECT_TRUE(panel(4).isPanelVisible());
    EXPECT_FALSE(panel(6).isPanelVisible());
    EXPECT_FALSE(panel(7).isPanelVisible());

    // A loaded icon keeps the layout's corner and shows at its own size.
    panel(4).setVehiclePicture(writeImage(QStringLiteral("icon.bmp"), QSize(32, 36)));
    EXPECT_EQ(child(QStringLiteral("imgVehicle_4"))->geometry(),
              QRect(toPixels(p4.imgVehicle).topLeft(), QSize(32, 36)));
}

TEST_F(MapPanelWidgetTest, Pictures_LoadFromTheFile_OrFailWithTheReason) {
    panel(1).setMapPicture(writeImage(QStringLiteral("map1.bmp"), QSize(40, 30)));
    EXPECT_EQ(child<QLabel>(QStringLiteral("imgMap_1"))->pixmap().size(), QSize(40, 30));

    try {
        panel(1).setVehiclePicture(m_folder.filePath(QStringLiteral("carimage/Mini/car090.gif")));
        ADD_FAILURE() << "a missing icon must fail";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.text().contains(QStringLiteral("car090.gif"))) << error.text().toStdString();
    }
}

TEST_F(MapPanelWidgetTest, Clicks_ReachTheirSignals) {
    QList<int16_t> zoomIn;
    int map = 0;
    QObject::connect(&panel(2), &MapPanelWidget::imgZoomInClick, [&](int16_t Index) { zoomIn << Index; });
    QObject::connect(&panel(2), &MapPanelWidget::imgMapClick, [&] { ++map; });
    // A device of the test's own: Qt's lazily made default one does not survive the application's end.
    QPointingDevice mouse(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                          QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3);
    const auto click = [&mouse](QWidget* target) {
        const QPointF at(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier, &mouse);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier, &mouse);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    };
    child(QStringLiteral("imgZoomIn_2"))->resize(26, 26);
    child(QStringLiteral("imgMap_2"))->resize(100, 100);

    click(child(QStringLiteral("imgZoomIn_2")));
    click(child(QStringLiteral("imgMap_2")));

    EXPECT_EQ(zoomIn, QList<int16_t>{2});
    EXPECT_EQ(map, 1);
}

TEST_F(MapPanelWidgetTest, Choosers_KeepNoChoiceWhenFilled_AndEveryProgramChoiceClicks) {
    MapPanelChoosers choosers(m_panels);
    int clicks = 0;
    QObject::connect(&panel(5), &MapPanelWidget::cmbVehicleClick, [&] { ++clicks; });

    choosers.addItem(5, QStringLiteral("AB-1001"));
    choosers.addItem(5, QStringLiteral("AB-1002"));
    EXPECT_EQ(choosers.listIndex(5), -1);
    EXPECT_TRUE(choosers.text(5).isEmpty());

    choosers.setListIndex(5, 1);
    choosers.setListIndex(5, 1);
    EXPECT_EQ(choosers.text(5), QStringLiteral("AB-1002"));
    EXPECT_EQ(clicks, 2);

    choosers.clear(5);
    EXPECT_EQ(choosers.listIndex(5), -1);
    EXPECT_EQ(clicks, 2) << "clearing raises no click";

    // The operator's choice clicks once.
    choosers.addItem(5, QStringLiteral("AB-1003"));
    panel(5).cmbVehicle()->setCurrentIndex(0);
    EXPECT_EQ(clicks, 3);
}

} // namespace
